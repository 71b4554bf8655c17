#pragma once

// ModalWatcher.h uses these two without including them.
// clang-format off
#include <QAbstractButton>
#include <QApplication>
#include "ModalWatcher.h"
// clang-format on
