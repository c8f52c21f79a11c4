#include "generator/CampaignGenerator.h"

#include "core/ErrorLog.h"
#include "generator/AdGroupFileWriter.h"
#include "generator/AdsFileWriter.h"
#include "generator/BuildContext.h"
#include "generator/ImportFileSet.h"
#include "generator/ImportFormat.h"
#include "generator/KeywordFileWriter.h"
#include "platform/Locations.h"

namespace generator {

namespace {

void writeFile(BuildContext& context, ImportFileSet& files, ImportFormat::File kind, qint64& rows,
               void (*write)(BuildContext&, RowWriter&))
{
    ImportFile& file = files.add(platform::Locations::join(context.input.campaignFolder, ImportFormat::fileName(kind)));
    write(context, file.rows());
    rows = file.rows().rows();
    context.reportError(file.finish());
}

} // namespace

QString GenerationStatusText(GenerationPhase phase, qsizetype index, qsizetype lastIndex)
{
    const QString prefix = QStringLiteral("Please wait while creating campaign files: ");
    switch (phase) {
    case GenerationPhase::MixingKeywords:
        return prefix + QStringLiteral("mixing keywords ...");
    case GenerationPhase::CreatingAdGroups:
        return prefix + QStringLiteral("create ad groups ...");
    case GenerationPhase::KeywordFile:
        if (index < 0)
            return prefix + QStringLiteral("create keyword files ...");
        return prefix + QStringLiteral("create keyword files ...%1/%2").arg(index).arg(lastIndex);
    case GenerationPhase::AdsFile:
        if (index < 0)
            return QString();
        return prefix + QStringLiteral("create ad file ...%1 / %2").arg(index).arg(lastIndex);
    case GenerationPhase::AdGroupFile:
        if (index < 0)
            return prefix + QStringLiteral("create ad group files ...");
        return prefix + QStringLiteral("create ad group files ...%1 / %2").arg(index).arg(lastIndex);
    }
    return QString();
}

GenerationResult GenerateCampaignFiles(const GenerationInput& input, const GenerationCallbacks& callbacks)
{
    using ErrorLog::WriteErrorLog;
    using ImportFormat::File;
    BuildContext context(input, callbacks);
    const CampaignData& campaign = input.campaign;

    context.stepLabel = QStringLiteral("log point 11");
    context.lists = KeywordLists::fromTexts(campaign.baseKeywords, campaign.extensionKeywords);
    context.stepLabel = QStringLiteral("log point 20");

    context.progress(GenerationPhase::MixingKeywords, -1, -1);
    context.stepLabel = QStringLiteral("log point 21");
    WriteErrorLog(QStringLiteral("BuildCampaigns: mixing keywords ..."));
    context.records = MixKeywords(context.lists, context.mixOptions, &context.stepLabel);

    WriteErrorLog(QStringLiteral("BuildCampaigns: create ad groups ..."));
    context.progress(GenerationPhase::CreatingAdGroups, -1, -1);
    context.groups = FormAdGroups(context.lists, context.mixOptions, campaign.customGroup, context.nameOptions);

    ImportFileSet files;
    GenerationResult& result = context.result;
    WriteErrorLog(QStringLiteral("BuildCampaigns: create keyword file ..."));
    context.progress(GenerationPhase::KeywordFile, -1, -1);
    writeFile(context, files, File::Keywords, result.keywordRows, WriteKeywordFile);

    WriteErrorLog(QStringLiteral("BuildCampaigns: create ads file ..."));
    context.progress(GenerationPhase::AdsFile, -1, -1);
    writeFile(context, files, File::Ads, result.adRows, WriteAdsFile);

    WriteErrorLog(QStringLiteral("BuildCampaigns: create adgroup files ..."));
    context.progress(GenerationPhase::AdGroupFile, -1, -1);
    result.adGroupFileSkipped = !WritesAdGroupFile(campaign);
    if (!result.adGroupFileSkipped)
        writeFile(context, files, File::AdGroups, result.adGroupRows, WriteAdGroupFile);

    for (const QString& error : files.commit())
        context.reportError(error);
    result.stepLabel = context.stepLabel;
    return result;
}

} // namespace generator
