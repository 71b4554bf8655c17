#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// Plays a key script into a field: "B" backspace, "D" Delete, "H" Home, "E" End, "L" Left, "R" Right;
// every other character is typed as it is.
inline void playKeys(QWidget* field, const QString& script)
{
    for (QChar c : script) {
        switch (c.unicode()) {
        case 'B':
            QTest::keyClick(field, Qt::Key_Backspace);
            break;
        case 'D':
            QTest::keyClick(field, Qt::Key_Delete);
            break;
        case 'H':
            QTest::keyClick(field, Qt::Key_Home);
            break;
        case 'E':
            QTest::keyClick(field, Qt::Key_End);
            break;
        case 'L':
            QTest::keyClick(field, Qt::Key_Left);
            break;
        case 'R':
            QTest::keyClick(field, Qt::Key_Right);
            break;
        default:
            QTest::keyClick(field, c.toLatin1());
        }
    }
}
