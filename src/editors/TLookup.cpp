#include "TLookup.h"

TLookup::TLookup(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setToolTip(QStringLiteral("Lookup Field - click on the down arrow to see the choices"));
}
