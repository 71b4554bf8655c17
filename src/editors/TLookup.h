#pragma once

#include <QComboBox>

// A text field with a drop-down of values used before, kept in a list table of the database folder.
class TLookup : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString source READ source WRITE setSource)
public:
    explicit TLookup(QWidget* parent = nullptr);

    // The list table's file name, e.g. "list1.dbf".
    QString source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }

private:
    QString m_source;
};
