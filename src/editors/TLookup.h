#pragma once

#include <memory>
#include <QComboBox>
#include <QPointer>
#include <QStringList>

namespace dbase {
class Table;
}
namespace store {
struct Session;
}

// A text field with a drop-down of values used before, kept in a list table of the database folder. A value
// typed in that the list lacks joins it when the field is left; with the run's auto-fill option on, typing
// completes the text from the list.
class TLookup : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString source READ source WRITE setSource)
public:
    static const QString defaultHint;
    static const QString createFailedMessage; // followed by a line break and the list's path

    explicit TLookup(QWidget* parent = nullptr);
    // A value still missing from the list joins it, as on leaving the field.
    ~TLookup() override;

    // The list table's file name in the database folder, e.g. "list1.dbf".
    QString source() const { return m_source; }
    void setSource(const QString& source);
    // The run's folders and its auto-fill option. The list table is opened once both the session and the
    // source are known; a missing one is copied from the program folder's template "list.dbf".
    void setSession(store::Session* session);

    // Another field on the same list: it reloads its items whenever this field's list gets a new value.
    TLookup* twin() const { return m_twin; }
    void setTwin(TLookup* twin) { m_twin = twin; }

    // The items afresh from the list table, in the field's alphabetical order. The text stays as it was.
    // A list of another database folder (after a database of another folder was loaded) is opened there
    // first, copied from the template when missing.
    void ReloadItems();
    // A non-empty text joins the items and is appended to the list table; an engine error there is
    // swallowed, the value then stays only in the items.
    void AddCurrentValue();

    QStringList itemTexts() const;
    // The folder the list table was opened in; empty while there is none.
    QString listFolder() const { return m_listFolder; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void bindListTable();
    void openListTable();
    bool createFromTemplate();
    void listReceivedValue();
    bool autoFill(const QString& typed);
    void addValueWhenMissing();
    void insertSorted(const QString& text);

    QString m_source;
    store::Session* m_session = nullptr;
    std::unique_ptr<dbase::Table> m_table; // exists once the list has been bound to a folder
    QString m_listFolder;
    QPointer<TLookup> m_twin;
};
