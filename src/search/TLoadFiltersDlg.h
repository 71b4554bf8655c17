#pragma once

#include "mainwindow/dialogs/TLoadLabelsDlg.h"

namespace store {
class TFilterTemplateList;
}

// "Load Filter Template": the template chooser of the label templates over the filter templates.
class TLoadFiltersDlg : public TLoadLabelsDlg
{
    Q_OBJECT
public:
    explicit TLoadFiltersDlg(store::TFilterTemplateList& templates, QWidget* parent = nullptr);
};
