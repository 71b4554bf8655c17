#include "TLoadFiltersDlg.h"

#include "store/ContentTemplateLists.h"

#include <QLabel>
#include <QListWidget>

TLoadFiltersDlg::TLoadFiltersDlg(store::TFilterTemplateList& templates, QWidget* parent)
    : TLoadLabelsDlg(templates, parent)
{
    setObjectName(QStringLiteral("LoadFiltersDlg"));
    setWindowTitle(QStringLiteral("Load Filter Template"));
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy() == TemplateList)
            label->setText(QStringLiteral("Filter Templates:"));
}
