#pragma once

#include "TMyBtnEdit.h"

// A button edit whose button only tells the host that it was clicked.
class TClickEdit : public TMyBtnEdit
{
    Q_OBJECT
public:
    explicit TClickEdit(QWidget* parent = nullptr);

signals:
    void buttonClicked();

protected:
    void buttonClick() override;
};
