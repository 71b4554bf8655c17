// The record form's fields: finding them among the page controls, their captions and date formats, and
// moving values between them and the table's columns.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "editors/TLookup.h"
#include "editors/TMultiMediaEdit.h"
#include "editors/TMyBtnEdit.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/controls/TEditMenu.h"
#include "pictures/AttachmentApplications.h"
#include "pictures/TAttachmentDlg.h"
#include "pictures/TDbMultiImgControl.h"
#include "settings/FieldTexts.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "store/NumberText.h"
#include "TForm1.h"

#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

constexpr int maxStoredText = 254;
constexpr int fieldHelpContext = 36;
constexpr int pictureHelpContext = 132;
// The date value 1.0 of the old date arithmetic: a record template's date that means "today".
const QDate todayMarker(1899, 12, 31);

int tagOf(const QObject* object)
{
    return object->property("tag").toInt();
}

bool isFieldControl(const QObject* object)
{
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QComboBox*>(object) ||
           qobject_cast<const QPlainTextEdit*>(object) || qobject_cast<const TDbMultiImgControl*>(object);
}

void placeAt(QList<QWidget*>& list, int index, QWidget* widget)
{
    while (list.size() <= index)
        list.append(nullptr);
    list[index] = widget;
}

QString controlText(const QWidget* control)
{
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memo->toPlainText();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    return {};
}

void setControlText(QWidget* control, const QString& text)
{
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->setPlainText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setEditText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
}

// Opens the caption pop-up menu on a click of a caption label.
class CaptionClickFilter : public QObject
{
public:
    CaptionClickFilter(QObject* parent, std::function<void(QLabel*)> onClick)
        : QObject(parent), m_onClick(std::move(onClick))
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                m_onClick(label);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QLabel*)> m_onClick;
};

} // namespace

void TForm1::DiscoverFields()
{
    // 1. The pop-up menus of the fields: one for edits and memos, one for list fields.
    m_fieldMenu = new TEditMenu(this);
    m_fieldMenu->setObjectName(QStringLiteral("FieldMenu"));
    m_listFieldMenu = new TEditMenu(this);
    m_listFieldMenu->setObjectName(QStringLiteral("ListFieldMenu"));
    auto* editList = new QAction(QStringLiteral("&Edit List..."), m_listFieldMenu);
    connect(editList, &QAction::triggered, this, [this] { editLists(m_listFieldMenu->popupComponent()); });
    m_listFieldMenu->insertItem(editList);
    auto* autoFill = new QAction(QStringLiteral("Auto-F&ill"), m_listFieldMenu);
    connect(autoFill, &QAction::triggered, this,
            [this] { m_session.database.autoFill = !m_session.database.autoFill; });
    m_listFieldMenu->insertItem(autoFill);
    m_listFieldMenu->setAutoFillItem(autoFill, [this] { return m_session.database.autoFill; });
    for (TEditMenu* menu : {m_fieldMenu, m_listFieldMenu}) {
        connect(menu, &TEditMenu::fontRequested, this, &TForm1::requestFieldFont);
        connect(menu, &TEditMenu::colorRequested, this, &TForm1::requestFieldColor);
    }

    // 2. to 4. The fields and their captions, page by page.
    auto* captionClicks = new CaptionClickFilter(this, [this](QLabel* label) { showCaptionMenu(label); });
    QList<QWidget*> emptyPages;
    for (int page = 0; page < m_pages->count(); ++page) {
        QWidget* panel = m_pages->widget(page);
        const QList<QWidget*> controls = panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        if (controls.isEmpty())
            emptyPages.append(panel);
        for (QWidget* control : controls) {
            const int tag = tagOf(control);
            if (tag <= 0)
                continue;
            if (isFieldControl(control)) {
                placeAt(m_fields, tag - 1, control);
                attachFieldMenu(control);
            } else if (auto* label = qobject_cast<QLabel*>(control)) {
                placeAt(m_captionLabels, tag - 1, label);
                label->setToolTip(QStringLiteral("Click to Display Popup Menu"));
                label->installEventFilter(captionClicks);
            }
        }
    }
    m_fields.removeAll(nullptr);
    m_captionLabels.removeAll(nullptr);
    for (QWidget* page : emptyPages)
        m_pages->removeTab(m_pages->indexOf(page));
    qDeleteAll(emptyPages);

    // 5. and 6. Captions and date formats the settings did not supply.
    if (m_session.captions.isEmpty()) {
        for (QWidget* label : m_captionLabels)
            m_session.captions.append(static_cast<QLabel*>(label)->text());
    }
    if (m_session.dateFormats.isEmpty()) {
        for (int i = 0; i < m_dateFields.size(); ++i)
            m_session.dateFormats.append({settings::MonthDayYear, -1});
    }
    for (int i = 0; i < m_dateFields.size() && i < m_session.dateFormats.size(); ++i)
        m_session.dateFormats[i].fieldIndex = static_cast<int>(m_fields.indexOf(m_dateFields[i]));
}

// The menu, help context and notifications a field control gets by its kind.
void TForm1::attachFieldMenu(QWidget* control)
{
    if (auto* date = qobject_cast<TDateEdit*>(control)) {
        m_dateFields.append(date);
        date->setProperty("helpContext", fieldHelpContext);
        connect(date, &TDateEdit::formatChanged, this,
                [this, date](int format) { dateFormatChanged(date, format); });
        connect(date, &TDateEdit::fontRequested, this, [this, date] { requestFieldFont(date); });
        connect(date, &TDateEdit::colorRequested, this, [this, date] { requestFieldColor(date); });
    } else if (auto* attachment = qobject_cast<TMultiMediaEdit*>(control)) {
        connect(attachment, &TMultiMediaEdit::attachmentDialogRequested, this,
                [this, attachment] { runAttachmentDialog(attachment); });
        connect(attachment, &TMultiMediaEdit::fontRequested, this,
                [this, attachment] { requestFieldFont(attachment); });
        connect(attachment, &TMultiMediaEdit::colorRequested, this,
                [this, attachment] { requestFieldColor(attachment); });
    } else if (qobject_cast<TDbMultiImgControl*>(control)) {
        control->setProperty("helpContext", pictureHelpContext);
    } else if (qobject_cast<QComboBox*>(control)) {
        m_listFieldMenu->attachTo(control);
        control->setProperty("helpContext", fieldHelpContext);
    } else {
        const auto* buttonEdit = qobject_cast<TMyBtnEdit*>(control);
        if (!buttonEdit || !buttonEdit->popupMenu())
            m_fieldMenu->attachTo(control);
        control->setProperty("helpContext", fieldHelpContext);
    }
}

controls::FieldList TForm1::fieldList() const
{
    controls::FieldList fields;
    for (int i = 0; i < m_fields.size(); ++i) {
        const QWidget* control = m_fields[i];
        controls::FieldKind kind = controls::FieldKind::Text;
        if (qobject_cast<const QPlainTextEdit*>(control))
            kind = controls::FieldKind::Memo;
        else if (qobject_cast<const TDbMultiImgControl*>(control))
            kind = controls::FieldKind::Picture;
        else if (qobject_cast<const TDateEdit*>(control) || qobject_cast<const TCurrencyEdit*>(control))
            kind = controls::FieldKind::Other;
        fields.append({m_session.captions.value(i), kind});
    }
    return fields;
}

void TForm1::ApplyCaptions()
{
    for (int i = 0; i < m_captionLabels.size() && i < m_session.captions.size(); ++i)
        static_cast<QLabel*>(m_captionLabels[i])->setText(m_session.captions[i]);
}

void TForm1::ApplyDateFormats()
{
    for (int i = 0; i < m_dateFields.size() && i < m_session.dateFormats.size(); ++i)
        static_cast<TDateEdit*>(m_dateFields[i])->setDateFormat(m_session.dateFormats[i].format);
}

void TForm1::dateFormatChanged(QWidget* dateField, int format)
{
    const qsizetype index = m_dateFields.indexOf(dateField);
    if (index < 0 || index >= m_session.dateFormats.size())
        return;
    m_session.dateFormats[index].format = format;
    if (!settings::SaveDateFormats(m_session.folders.settings, m_session.dateFormatNumbers()))
        messages::error(this, QString::fromLatin1(settings::SaveOptionsFailedMessage));
}

void TForm1::showCaptionMenu(QLabel* label)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("&Text..."), this, [this, label] { renameCaption(label); });
    menu.addAction(QStringLiteral("&Color..."), this, &TForm1::chooseLabelColors);
    menu.addAction(QStringLiteral("&Load From Template..."), this, &TForm1::loadCaptionTemplate);
    menu.addAction(QStringLiteral("&Save As Template..."), this, &TForm1::saveCaptionTemplate);
    menu.exec(label->mapToGlobal(QPoint(10, 10)));
}

void TForm1::renameCaption(QLabel* label)
{
    const qsizetype index = m_captionLabels.indexOf(label);
    if (index < 0 || index >= m_session.captions.size())
        return;
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, QStringLiteral("Change Label Text"), QStringLiteral("Enter New Text:"),
                              QLineEdit::Normal, m_session.captions[index], &ok);
    if (!ok)
        return;
    // Empty means nothing above the space character.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= ' '; })) {
        messages::error(this, QStringLiteral("Empty Labels are not Allowed!"));
        return;
    }
    if (m_session.captions.contains(text)) {
        messages::error(this, QStringLiteral("Duplicate Labels are not Allowed!"));
        return;
    }
    m_session.captions[index] = text;
    ApplyCaptions();
    if (!settings::SaveCaptions(m_session.folders.settings, m_session.captions))
        messages::error(this, QString::fromLatin1(settings::SaveOptionsFailedMessage));
}

QString TForm1::fieldText(int fieldNumber) const
{
    return fieldNumber >= 1 && fieldNumber <= m_fields.size() ? controlText(m_fields[fieldNumber - 1])
                                                              : QString();
}

void TForm1::reportCorruptMemo()
{
    messages::error(
        this,
        QStringLiteral("Corrupt Memo Field!!! You should delete record: ") + fieldText(2) +
            QStringLiteral("\nYou may have to use Advanced/Maintenance/Repair Data File function."),
        62);
}

bool TForm1::LoadFieldFromColumn(QWidget* control, int column, dbase::Table& table)
{
    const dbase::FieldDescriptor& field = table.fieldDescriptor(static_cast<std::size_t>(column));
    if (field.isMemo()) {
        try {
            setControlText(control, store::columnMemoLines(table, column).join(QLatin1Char('\n')));
        } catch (const dbase::EngineError&) {
            setControlText(control, QString());
            reportCorruptMemo();
            return false;
        }
        return true;
    }
    if (auto* date = qobject_cast<TDateEdit*>(control); date && field.isDate()) {
        const QDate value = store::columnDate(table, column);
        date->setDate(m_applyingTemplate && value == todayMarker ? QDate::currentDate() : value);
        return true;
    }
    if (auto* picture = qobject_cast<TDbMultiImgControl*>(control)) {
        try {
            picture->loadFromColumn(table, column);
        } catch (const dbase::EngineError&) {
            picture->clear();
        }
        return true;
    }
    if (auto* money = qobject_cast<TCurrencyEdit*>(control)) {
        money->setValue(table.asNumber(static_cast<std::size_t>(column)));
        return true;
    }
    setControlText(control, store::columnText(table, column));
    return true;
}

bool TForm1::StoreFieldToColumn(QWidget* control, int column, dbase::Table& table)
{
    const auto index = static_cast<std::size_t>(column);
    const dbase::FieldDescriptor& field = table.fieldDescriptor(index);
    if (field.isMemo()) {
        try {
            const QString text = controlText(control);
            store::setColumnMemoLines(table, column,
                                      text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')));
        } catch (const dbase::EngineError&) {
            reportCorruptMemo();
            return false;
        }
        return true;
    }
    if (field.isNumeric()) {
        const double value = qobject_cast<TCurrencyEdit*>(control)
                                 ? static_cast<TCurrencyEdit*>(control)->value()
                                 : store::parseLenientNumber(controlText(control).left(maxStoredText));
        table.setNumber(index, value);
        return true;
    }
    if (auto* date = qobject_cast<TDateEdit*>(control); date && field.isDate()) {
        // Where nobody can be asked, a half-typed date leaves the stored one as it was.
        if (date->isValidDate())
            store::setColumnDate(table, column, date->date());
        return true;
    }
    if (auto* picture = qobject_cast<TDbMultiImgControl*>(control)) {
        picture->storeToColumn(table, column);
        return true;
    }
    store::setColumnText(table, column, controlText(control).left(maxStoredText));
    return true;
}

void TForm1::runAttachmentDialog(TMultiMediaEdit* field)
{
    TAttachmentDlg dialog(m_session.folders.database, this);
    dialog.setAttachedFile(field->text());
    const int result = dialog.exec();
    if (result == QDialog::Rejected)
        return;
    // A locked field keeps its own file; the application then runs on that one.
    field->takeAttachedFile(dialog.attachedFile());
    if (result == TAttachmentDlg::RunResult &&
        !pictures::startAttachment(dialog.application(),
                                   field->text().isEmpty() ? dialog.attachedFile() : field->text()))
        messages::error(this, QStringLiteral("Could not start the application!"));
}

bool TForm1::datesAreValid()
{
    for (QWidget* control : m_dateFields) {
        auto* date = static_cast<TDateEdit*>(control);
        if (date->isValidDate())
            continue;
        // A half-typed date is neither written as some other date nor thrown away: the user finishes it.
        m_pages->setCurrentWidget(date->parentWidget());
        date->setFocus(Qt::OtherFocusReason);
        messages::error(this, QStringLiteral("Invalid Date!"));
        return false;
    }
    return true;
}
