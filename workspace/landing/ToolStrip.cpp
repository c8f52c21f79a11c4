#include "workspace/landing/ToolStrip.h"

#include "platform/widgets/LineEdit.h"
#include "workspace/landing/LandingPageEditor.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

struct Entry {
    const char* tip;
    bool check;
    int command;
};

const Entry kEntries[ToolStrip::ButtonCount] = {
    {"Bold", true, EditCommand::Bold},
    {"Italic", true, EditCommand::Italic},
    {"Underline", true, EditCommand::Underline},
    {"Numbering", true, EditCommand::OrderedList},
    {"Bullets", true, EditCommand::UnorderedList},
    {"Decrease Indent", true, EditCommand::Indent},
    {"Increase Indent", true, EditCommand::Outdent},
    {"Align Left", true, EditCommand::JustifyLeft},
    {"Center", true, EditCommand::JustifyCenter},
    {"Align Right", true, EditCommand::JustifyRight},
    {"Font Color", false, EditCommand::ForeColor},
};

// Separators follow these entries.
bool groupEnds(int entry)
{
    return entry == 2 || entry == 4 || entry == 6 || entry == 9;
}

const char* const kFixedFonts[] = {
    "System", "Terminal", "Fixedsys", "Roman", "Script", "Modern", "Small Fonts", "MS Serif", "WST_Czec",
    "WST_Engl", "WST_Fren", "WST_Germ", "WST_Ital", "WST_Span", "WST_Swed", "Courier", "MS Sans Serif",
    "MS Dialog", "MS Dialog Light", "MS SystemEx", "@Terminal", "Marlett", "Arial", "Arial CE", "Arial CYR",
    "Arial Greek", "Arial TUR", "Arial Baltic", "Courier New", "Courier New CE", "Courier New CYR",
    "Courier New Greek", "Courier New TUR", "Courier New Baltic", "Lucida Console", "Lucida Sans Unicode",
    "Times New Roman", "Times New Roman CE", "Times New Roman CYR", "Times New Roman Greek",
    "Times New Roman TUR", "Times New Roman Baltic", "Wingdings", "Symbol", "Verdana", "Arial Black",
    "Comic Sans MS", "Impact", "Georgia", "Franklin Gothic Medium", "Palatino Linotype", "Tahoma",
    "Trebuchet MS", "Webdings", "Estrangelo Edessa", "Gautami", "Latha", "Mangal", "MV Boli", "Raavi",
    "Shruti", "Tunga", "Sylfaen", "Microsoft Sans Serif", "AngsanaUPC", "Angsana New", "BrowalliaUPC",
    "Browallia New", "CordiaUPC", "Cordia New", "DilleniaUPC", "EucrosiaUPC", "FreesiaUPC", "IrisUPC",
    "JasmineUPC", "KodchiangUPC", "LilyUPC", "Aharoni", "David", "David Transparent", "FrankRuehl",
    "Levenim MT", "Miriam", "Miriam Transparent", "Miriam Fixed", "Fixed Miriam Transparent", "Narkisim",
    "Rod", "Rod Transparent", "Traditional Arabic", "Arabic Transparent", "Andalus", "Simplified Arabic",
    "Simplified Arabic Fixed", "Arial Narrow", "Book Antiqua", "Bookman Old Style", "Century Gothic",
    "Garamond", "Haettenschweiler", "MS Outlook", "Monotype Corsiva", "Wingdings 2", "Wingdings 3",
    "MS Mincho", "@MS Mincho", "MS PMincho", "@MS PMincho", "MS Gothic", "@MS Gothic", "MS PGothic",
    "@MS PGothic", "MS UI Gothic", "@MS UI Gothic", "Gulim", "@Gulim", "GulimChe", "@GulimChe", "Dotum",
    "@Dotum", "@DotumChe", "Batang", "@Batang", "BatangChe", "@BatangChe", "Gungsuh", "@Gungsuh",
    "GungsuhChe", "@GungsuhChe", "SimSun", "@SimSun", "NSimSun", "@NSimSun", "SimHei", "@SimHei", "MingLiU",
    "@MingLiU", "PMingLiU", "@PMingLiU", "Century", "Myriad Condensed Web", "Myriad Web", "Kartika", "Vrinda",
    "Lucida Sans", "Comix",
};

// Draws the picture of a button: a letter, or text lines with a mark.
QIcon entryIcon(int entry, const QPalette& palette)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::ButtonText);
    p.setPen(QPen(ink, 1.2));
    auto letter = [&p](const QString& text, bool bold, bool italic, bool underline) {
        QFont font = p.font();
        font.setPixelSize(13);
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
        p.setFont(font);
        p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, text);
    };
    // Four text lines; indent[i] and width[i] in pixels.
    auto lines = [&p](const int (&indent)[4], const int (&width)[4]) {
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(indent[i], 2.5 + 3.5 * i), QPointF(indent[i] + width[i], 2.5 + 3.5 * i));
    };
    switch (entry) {
    case 0:
        letter(QStringLiteral("B"), true, false, false);
        break;
    case 1:
        letter(QStringLiteral("I"), false, true, false);
        break;
    case 2:
        letter(QStringLiteral("U"), false, false, true);
        break;
    case 3:
    case 4: {
        lines({6, 6, 6, 6}, {9, 9, 9, 9});
        for (int i = 0; i < 4; ++i) {
            const QPointF at(2, 2.5 + 3.5 * i);
            if (entry == 4)
                p.drawEllipse(at, 1, 1);
            else
                p.drawLine(at - QPointF(0, 1), at + QPointF(0, 1));
        }
        break;
    }
    case 5:
    case 6: {
        lines({0, 7, 7, 0}, {15, 8, 8, 15});
        QPainterPath arrow;
        const bool inward = entry == 6;
        arrow.moveTo(inward ? 1 : 5, 6);
        arrow.lineTo(inward ? 5 : 1, 7.75);
        arrow.lineTo(inward ? 1 : 5, 9.5);
        p.drawPath(arrow);
        break;
    }
    case 7:
        lines({0, 0, 0, 0}, {15, 10, 15, 10});
        break;
    case 8:
        lines({0, 3, 0, 3}, {15, 9, 15, 9});
        break;
    case 9:
        lines({0, 5, 0, 5}, {15, 10, 15, 10});
        break;
    default:
        letter(QStringLiteral("A"), true, false, false);
        p.fillRect(QRectF(2, 13, 12, 3), Qt::red);
        break;
    }
    return QIcon(pixmap);
}

QComboBox* readOnlyCombo(const QString& name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    // Editable, so it can show a value that is not in its list; read-only,
    // since typing a name would change nothing.
    combo->setEditable(true);
    combo->lineEdit()->setReadOnly(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

} // namespace

ToolStrip::ToolStrip(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraTbl"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);

    m_cboFont = readOnlyCombo(QStringLiteral("cboFont"), this);
    m_cboFont->setMinimumContentsLength(18);
    m_cboFontSize = readOnlyCombo(QStringLiteral("cboFontSize"), this);
    m_cboFontSize->setMinimumContentsLength(2);
    row->addWidget(m_cboFont);
    row->addWidget(m_cboFontSize);

    for (int i = 0; i < ButtonCount; ++i) {
        if (i == 0 || groupEnds(i - 1)) {
            auto* separator = new QFrame(this);
            separator->setFrameShape(QFrame::VLine);
            separator->setFrameShadow(QFrame::Sunken);
            row->addWidget(separator);
        }
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("ttbDHTML") + QString::number(i));
        button->setToolTip(QString::fromUtf8(kEntries[i].tip));
        button->setIcon(entryIcon(i, palette()));
        button->setCheckable(kEntries[i].check);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, i] { m_buttons.at(i)->setChecked(m_pressed.at(i)); });
        row->addWidget(button);
        m_buttons.append(button);
        m_pressed.append(false);
    }
    row->addStretch(1);
}

int ToolStrip::commandOf(int entry)
{
    return entry >= 0 && entry < ButtonCount ? kEntries[entry].command : 0;
}

void ToolStrip::SetUp()
{
    m_cboFont->clear();
    m_cboFont->addItems(QFontDatabase::families());
    m_cboFontSize->clear();
    for (int size = 1; size <= 7; ++size)
        m_cboFontSize->addItem(QString::number(size));
    if (m_cboFont->count() == 0)
        PopulateFonts();
    m_cboFont->setCurrentIndex(0);
    m_cboFontSize->setCurrentIndex(0);
}

void ToolStrip::PopulateFonts()
{
    for (const char* name : kFixedFonts)
        m_cboFont->addItem(QString::fromLatin1(name));
}

void ToolStrip::UpdateToolBarUI(QObject* control)
{
    const auto* editor = qobject_cast<const LandingPageEditor*>(control);
    if (!editor)
        return;
    for (int i = 0; i < ButtonCount; ++i) {
        const int status = editor->QueryStatus(kEntries[i].command);
        m_buttons.at(i)->setEnabled(status >= EditStatus::Enabled);
        m_pressed[i] = status == EditStatus::Latched;
        m_buttons.at(i)->setChecked(m_pressed.at(i));
    }

    const auto mirror = [](QComboBox* box, int status, const QString& value) {
        const bool known = status == EditStatus::Enabled || status == EditStatus::Latched;
        platform::setLineText(box, known ? value : QString());
        box->setEnabled(known || status == EditStatus::Ninched);
    };
    mirror(m_cboFont, editor->QueryStatus(EditCommand::FontName), editor->FontName());
    const int size = editor->FontSize();
    mirror(m_cboFontSize, editor->QueryStatus(EditCommand::FontSize), size < 1 ? QString() : QString::number(size));
}
