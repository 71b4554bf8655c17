#pragma once

#include "CharacterSet.h"

#include <QLineEdit>

// A plain edit that takes only the characters of its set, e.g. "['0'..'9','.']"; "[]" takes any.
class TFilterEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString validChars READ validChars WRITE setValidChars)
public:
    explicit TFilterEdit(QWidget* parent = nullptr);

    QString validChars() const { return m_validChars; }
    // A text that is no set is ignored. A new set removes the characters outside it from the text.
    void setValidChars(const QString& validChars);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_validChars = QStringLiteral("[]");
    editors::CharacterSet m_set;
};
