#include "TClickEdit.h"

TClickEdit::TClickEdit(QWidget* parent) : TMyBtnEdit(parent)
{
    setAutoSelect(false);
}

void TClickEdit::buttonClick()
{
    emit buttonClicked();
}
