#pragma once

#include "TMyBtnEdit.h"

// A folder field: checked to name an existing folder when it is left, with the folder chooser behind
// its button.
class TDirEdit : public TMyBtnEdit
{
    Q_OBJECT
public:
    // Upper-case text only where folder names do not depend on case; elsewhere it would name
    // another folder.
    static constexpr bool upperCaseByDefault =
#ifdef Q_OS_WIN
        true;
#else
        false;
#endif

    explicit TDirEdit(QWidget* parent = nullptr);

    bool checkDirectory() const
    {
        return m_checkDirectory;
    }
    void setCheckDirectory(bool check)
    {
        m_checkDirectory = check;
    }
    bool upperCase() const
    {
        return m_upperCase;
    }
    void setUpperCase(bool upperCase);

protected:
    void buttonClick() override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyCase();

    bool m_checkDirectory = true;
    bool m_upperCase = upperCaseByDefault;
};
