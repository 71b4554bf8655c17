#pragma once

#include "TMyBtnEdit.h"

// The attachment field: its text is the full path of a file kept with the record, of which it shows
// only the file name. Nothing can be typed; the button (and "Set/Run" in its menu) asks the host for
// the attachment dialog, and the host hands the chosen file back through takeAttachedFile() and starts
// the application itself when the dialog asked to run it.
class TMultiMediaEdit : public TMyBtnEdit
{
    Q_OBJECT
public:
    explicit TMultiMediaEdit(QWidget* parent = nullptr);

    QString fileName() const { return text(); }
    // The part of the path after its last folder separator.
    QString shownName() const;

    // The file the attachment dialog closed with; a locked field keeps its own. False when it was kept.
    bool takeAttachedFile(const QString& file);

signals:
    void attachmentDialogRequested();
    void fontRequested();
    void colorRequested();

protected:
    bool isValidChar(QChar c) const override;
    void buttonClick() override;
    void paintEvent(QPaintEvent* event) override;
};
