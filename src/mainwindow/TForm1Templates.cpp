// The record window's named templates: caption and header layouts, record templates saved from the form,
// and the Edit Lists dialog of the lookup fields.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/LookupFields.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "mainwindow/dialogs/HeaderTemplateContent.h"
#include "mainwindow/dialogs/TemplateMenus.h"
#include "mainwindow/dialogs/TListDlg.h"
#include "mainwindow/dialogs/TLoadLabelsDlg.h"
#include "mainwindow/dialogs/TRecordTemplateForm.h"
#include "settings/FieldTexts.h"
#include "store/ContentTemplateLists.h"
#include "store/DatabaseFolder.h"
#include "store/RecordTemplateRows.h"
#include "store/TLabelTemplateList.h"
#include "store/TRecordTemplateList.h"
#include "TForm1.h"

#include <QInputDialog>

namespace {

QString listPath(const store::TTemplateList& list, const QString& fileName)
{
    return list.settingsFolder() + QLatin1Char('/') + fileName;
}

} // namespace

void TForm1::loadTemplateLists()
{
    const QString& folder = m_session.folders.settings;
    m_labelTemplates = std::make_unique<store::TLabelTemplateList>(m_session.captions, folder);
    m_labelTemplates->LoadList(listPath(*m_labelTemplates, store::TLabelTemplateList::ListFileName));
    m_headerContent = std::make_unique<HeaderTemplateContent>(*m_header);
    m_headerTemplates = std::make_unique<store::THeaderTemplateList>(folder);
    m_headerTemplates->setContent(m_headerContent.get());
    m_headerTemplates->LoadList(listPath(*m_headerTemplates, store::THeaderTemplateList::ListFileName));
    m_header->setTemplates(TemplateMenuHooks(*m_headerTemplates));
}

void TForm1::saveTemplateLists()
{
    m_labelTemplates->SaveList(listPath(*m_labelTemplates, store::TLabelTemplateList::ListFileName));
    m_headerTemplates->SaveList(listPath(*m_headerTemplates, store::THeaderTemplateList::ListFileName));
}

void TForm1::loadCaptionTemplate()
{
    TLoadLabelsDlg dialog(*m_labelTemplates, this);
    if (dialog.exec() != QDialog::Accepted || dialog.fileName().isEmpty())
        return;
    if (m_labelTemplates->LoadContent(m_labelTemplates->ContentPath(dialog.fileName()))) {
        ApplyCaptions();
        if (!settings::SaveCaptions(m_session.folders.settings, m_session.captions))
            messages::error(this, QString::fromLatin1(settings::SaveOptionsFailedMessage));
    } else {
        messages::error(this, QStringLiteral("Error Loading Template."));
        m_session.captions = settings::LoadCaptions(m_session.folders.settings);
        ApplyCaptions();
    }
    saveTemplateLists();
}

void TForm1::saveCaptionTemplate()
{
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("Save Labels As Template"),
                              QStringLiteral("Template Name:"), QLineEdit::Normal, QString(), &ok);
    if (!ok || name.isEmpty())
        return;
    if (!m_labelTemplates->Add(name))
        messages::error(this, QStringLiteral("Duplicate name - Template Not Saved!"));
    saveTemplateLists();
}

void TForm1::saveRecordToTemplate()
{
    TRecordTemplateForm form(*m_recordTemplates, *m_database, m_session.captions, this);
    if (form.exec() == QDialog::Accepted && form.TemplateIndex() >= 0) {
        dbase::Table& buffer = m_database->copyBuffer();
        bool written = false;
        try {
            store::PrepareTemplateRow(buffer, form.TemplateIndex());
            written = PostCurrentRecord(buffer);
            if (written)
                store::SetTodayMarkers(buffer, form.DateColumns());
        } catch (const dbase::DatabaseError&) {
            written = false;
        }
        if (!written)
            messages::error(this, QStringLiteral("Could not Update the record!"));
    }
    m_recordTemplates->SaveNames();
}

void TForm1::editLists(QWidget* field)
{
    if (!SaveBeforeCommand())
        return;
    TListDlg dialog(m_session, lookup::listEntries(m_fields, m_session.captions), this);
    const qsizetype fieldIndex = m_fields.indexOf(field);
    const int entry = lookup::entryIndexOfField(m_fields, static_cast<int>(fieldIndex) + 1);
    if (entry >= 0)
        dialog.selectEntry(entry);
    dialog.exec();
    lookup::reloadLookupFields(m_fields);
}
