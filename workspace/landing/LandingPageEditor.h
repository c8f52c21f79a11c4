#pragma once

#include <QString>
#include <QWidget>

// The command numbers of the landing-page editor's command interface.
namespace EditCommand {
constexpr int Bold = 5000;
constexpr int Italic = 5023;
constexpr int Underline = 5048;
constexpr int OrderedList = 5030;
constexpr int UnorderedList = 5051;
constexpr int Indent = 5018;
constexpr int Outdent = 5031;
constexpr int JustifyLeft = 5025;
constexpr int JustifyCenter = 5024;
constexpr int JustifyRight = 5026;
constexpr int ForeColor = 5046;
constexpr int FontName = 5013;
constexpr int FontSize = 5014;
} // namespace EditCommand

// The values QueryStatus answers: below Enabled the command is not available.
namespace EditStatus {
constexpr int NotSupported = 0;
constexpr int Enabled = 3;
constexpr int Latched = 7;   // available and switched on at the caret
constexpr int Ninched = 11;  // available, the selection holds mixed values
} // namespace EditStatus

// The HTML editor of the "Landing Page" tab (DHTMLRep): one HTML file in
// design mode. Its state at the caret is read synchronously from the last
// report of the document; DisplayChanged is the editor's notification that
// the state may have changed.
class LandingPageEditor : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    ~LandingPageEditor() override;

    // An EditStatus value for an EditCommand number; NotSupported for any
    // other number and while no document is loaded.
    virtual int QueryStatus(int command) const = 0;
    // The font family at the caret, without quotes ("" when unknown).
    virtual QString FontName() const = 0;
    // The HTML font size (1 to 7) at the caret; 0 when unknown.
    virtual int FontSize() const = 0;
    // True when the document has changes that are not in its file.
    virtual bool IsDirty() const = 0;
    // The file loaded last; "" when the editor holds no file.
    virtual QString DocumentPath() const = 0;

    // Starts loading path for editing; DocumentLoaded follows. The caller
    // checks beforehand that the file can be read. A page that cannot be
    // edited - the browser could not load it, or could not decode its
    // character set - leaves the editor holding no file, so it is never
    // written.
    virtual void LoadDocument(const QString& path) = 0;
    // Writes the document to path, replacing the file atomically. On failure
    // the file and the editor's changes stay as they were and error says why.
    virtual bool SaveDocument(const QString& path, QString* error) = 0;

signals:
    void DisplayChanged();
    // failure: when not ok, why, for the user ("" when nothing more is known).
    void DocumentLoaded(bool ok, const QString& failure);
    // The document of path went with the editor's page process, which
    // ended abnormally; unsaved: it had changes not in its file.
    void DocumentLost(const QString& path, bool unsaved);
};
