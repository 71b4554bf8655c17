#include "TMultiMediaEdit.h"

TMultiMediaEdit::TMultiMediaEdit(QWidget* parent) : QLineEdit(parent) {}
