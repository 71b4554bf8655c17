#pragma once

#include <QDialog>

class QLineEdit;

// "Edit Database Information", or "Create New Database": the name and description of a database and,
// read-only, its table file.
class TEditDbDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int descriptionLength = 250;

    explicit TEditDbDlg(QWidget* parent = nullptr);

    // Captioned for a database that does not exist yet; the fields stay empty.
    void setCreating();
    void setEntry(const QString& name, const QString& description, const QString& fileName);
    QString databaseName() const;
    QString description() const;

    QLineEdit* NameEdit;
    QLineEdit* DescriptionEdit;
    QLineEdit* FileNameEdit;
};
