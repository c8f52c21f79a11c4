#include "generator/AdGroupFileWriter.h"

#include "core/Conversions.h"
#include "generator/ImportFormat.h"

namespace generator {

using ImportFormat::appendField;
using ImportFormat::quoted;

bool WritesAdGroupFile(const CampaignData& campaign)
{
    return !campaign.maxCPC.isEmpty() || !campaign.maxContentCPC.isEmpty() || !campaign.placementMaxCPC.isEmpty();
}

void WriteAdGroupFile(BuildContext& context, RowWriter& file)
{
    const CampaignData& c = context.campaign;
    QString maxCpc = Conversions::Trim(c.maxCPC);
    if (maxCpc.isEmpty())
        maxCpc = QStringLiteral("0.00");
    const QString campaign = quoted(context.input.campaignName);
    const bool content = !c.maxContentCPC.isEmpty();
    const bool placement = !c.placementMaxCPC.isEmpty();
    const QString maxCpcField = quoted(maxCpc);
    QString tail;
    if (content)
        tail += QLatin1Char(',') + quoted(c.maxContentCPC);
    else if (placement)
        tail += QStringLiteral(",0.00");
    if (placement)
        tail += QLatin1Char(',') + quoted(c.placementMaxCPC);

    const AdGroupList& groups = context.groups;
    const BlockFormatter format = [&](qsizetype first, qsizetype last, RowBlock& block) {
        for (qsizetype gi = first; gi <= last; ++gi) {
            const QString& name = groups.names[size_t(gi)];
            if (name.isEmpty())
                continue;
            RowText& out = block.row();
            out += campaign;
            out += QLatin1Char(',');
            appendField(out, !content && !placement ? Conversions::Trim(name) : name);
            out += QLatin1Char(',');
            out += maxCpcField;
            out += tail;
            block.endRow();
        }
    };
    context.writeRows(GenerationPhase::AdGroupFile, file, groups.lastIndex(), [&format] { return format; });
}

} // namespace generator
