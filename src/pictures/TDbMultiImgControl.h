#pragma once

#include "TMultiImgControl.h"

// A picture field of the record form: its tag is its field number, and the record editing cycle loads it
// from and stores it into that field's column (loadFromColumn, storeToColumn, or the stored form through
// pictureData and setPictureData).
class TDbMultiImgControl : public TMultiImgControl
{
    Q_OBJECT
public:
    explicit TDbMultiImgControl(QWidget* parent = nullptr);
};
