#pragma once

#include "TMyBtnEdit.h"

#include <QStringList>

// The attachment field: its text is the full path of a file kept with the record, of which it shows
// only the file name. Nothing can be typed; the button (and "Set/Run" in its menu) asks the host for
// the attachment dialog, and the host hands the dialog's outcome back through attachmentDialogClosed().
class TMultiMediaEdit : public TMyBtnEdit
{
    Q_OBJECT
public:
    enum class AttachmentOutcome
    {
        Cancelled,
        Ok,
        Run
    };

    // The program and arguments that play a file with an application: the file is always one
    // argument of its own, after "/PLAY" for the system's sound and media players.
    static QStringList applicationArguments(const QString& application, const QString& path);

    explicit TMultiMediaEdit(QWidget* parent = nullptr);

    QString fileName() const { return text(); }
    // The part of the path after its last folder separator.
    QString shownName() const;

    // After the dialog closes: OK and Run take its file into the field (unless the field is locked);
    // Run also starts the application on that file. False when the application could not be started.
    bool attachmentDialogClosed(AttachmentOutcome outcome, const QString& file, const QString& application);

signals:
    void attachmentDialogRequested();
    void fontRequested();
    void colorRequested();

protected:
    bool isValidChar(QChar c) const override;
    void buttonClick() override;
    void paintEvent(QPaintEvent* event) override;
};
