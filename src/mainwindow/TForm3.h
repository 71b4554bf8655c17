#pragma once

#include "TForm1.h"

class QTabWidget;

// The stamp record: the 28 field controls on the four record pages. Everything else is the generic
// record window's.
class TForm3 : public TForm1
{
    Q_OBJECT
public:
    explicit TForm3(store::Session& session, QWidget* parent = nullptr);

    // Builds the pages "Part 1" ... "Part 4" into an empty tab widget.
    static void buildRecordPages(QTabWidget* pages);
};
