#pragma once

#include <QFileDialog>

class QLabel;

// The open and save dialogs of the picture fields, with a preview of the picture file under the cursor.
class TPictureFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    enum class Purpose
    {
        Load,
        Save
    };

    TPictureFileDialog(Purpose purpose, QWidget* parent = nullptr);

    // The chosen path; empty when the user cancelled.
    static QString choosePath(Purpose purpose, QWidget* parent);

    QLabel* preview() const { return m_preview; }

private:
    void showPreview(const QString& path);

    QLabel* m_preview;
};
