#pragma once

#include "AttachmentApplications.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The "Attachment" dialog: picks the attached file and the application that opens it, and keeps the list
// of applications of the database folder. Its result is Run (6), OK (Close) or Rejected (Cancel); the
// caller then starts the application itself (startAttachment).
class TAttachmentDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RunResult = 6;
    static constexpr int helpContext = 118;

    explicit TAttachmentDlg(const QString& databaseFolder, QWidget* parent = nullptr,
                            const QString& windowsFolder = pictures::windowsFolder());

    QString attachedFile() const;
    void setAttachedFile(const QString& path);
    QString application() const;
    const QStringList& applications() const { return m_applications.items(); }

    QComboBox* ApplicationBox;
    QLineEdit* FileEdit;
    QPushButton* AddButton;
    QPushButton* DeleteButton;
    QPushButton* SelectButton;
    QPushButton* RunButton;
    QPushButton* CloseButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;

private:
    void addApplication();
    void deleteApplication();
    void selectFile();
    // Puts the application first, writes the list and closes with the result.
    void finish(int result);
    void showApplications();

    QString m_databaseFolder;
    pictures::AttachmentApplications m_applications;
};
