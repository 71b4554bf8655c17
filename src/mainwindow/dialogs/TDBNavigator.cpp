#include "TDBNavigator.h"

#include <QHBoxLayout>
#include <QToolButton>

const QList<TDBNavigator::Button> TDBNavigator::allButtons{
    Button::First,  Button::Prior, Button::Next, Button::Last,   Button::Insert,
    Button::Delete, Button::Edit,  Button::Post, Button::Cancel, Button::Refresh};
const QList<TDBNavigator::Button> TDBNavigator::movingButtons{Button::First, Button::Prior, Button::Next,
                                                              Button::Last, Button::Refresh};

namespace {

struct Face
{
    const char* name;
    const char* glyph;
    const char* hint;
};

// In the order of TDBNavigator::Button.
constexpr Face faces[] = {
    {"First", "|\u25c0", "First record"}, {"Prior", "\u25c0", "Prior record"},
    {"Next", "\u25b6", "Next record"},    {"Last", "\u25b6|", "Last record"},
    {"Insert", "+", "Insert record"},     {"Delete", "\u2212", "Delete record"},
    {"Edit", "\u25b2", "Edit record"},    {"Post", "\u2713", "Post edit"},
    {"Cancel", "\u2715", "Cancel edit"},  {"Refresh", "\u21bb", "Refresh data"},
};

} // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DBNavigator1"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (Button which : allButtons) {
        const Face& face = faces[static_cast<int>(which)];
        auto* tool = new QToolButton;
        tool->setObjectName(QLatin1String(face.name));
        tool->setText(QString::fromUtf8(face.glyph));
        tool->setToolTip(QLatin1String(face.hint));
        tool->setMinimumWidth(28);
        connect(tool, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
        layout->addWidget(tool);
        m_buttons.append(tool);
    }
}

QToolButton* TDBNavigator::button(Button which) const
{
    return m_buttons.at(static_cast<int>(which));
}

void TDBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (Button which : allButtons)
        button(which)->setVisible(buttons.contains(which));
}

void TDBNavigator::setButtonEnabled(Button which, bool enabled)
{
    button(which)->setEnabled(enabled);
}
