#include "TDbMultiImgControl.h"

TDbMultiImgControl::TDbMultiImgControl(QWidget* parent) : TMultiImgControl(parent) {}
