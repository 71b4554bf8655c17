#pragma once

#include <QLineEdit>

// The attachment field: the path of a file kept with the record.
class TMultiMediaEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TMultiMediaEdit(QWidget* parent = nullptr);

signals:
    void fontRequested();
    void colorRequested();
};
