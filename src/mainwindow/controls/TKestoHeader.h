#pragma once

#include "FieldInfo.h"
#include "MenuItems.h"

#include <QList>
#include <QString>
#include <QWidget>

class QMenu;

// The column header of the record list. Each section names a record field by its caption; the record
// buttons take one text column per section, as wide as the section's share of the header's width.
//
// The user resizes a section at its right border (within 4 pixels), drags a section elsewhere to move
// it, and inserts and removes fields through the pop-up menu. hChanged() follows every change.
class TKestoHeader : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int helpContext READ helpContext WRITE setHelpContext)

public:
    struct Section
    {
        QString caption;
        int width = 0;       // pixels
        int fieldIndex = -1; // position of the caption in the caption list; -1 when it names no field
        int percent = 0;     // of the header's width, rounded
    };

    static constexpr int minimumSectionWidth = 4;
    static constexpr int borderGrip = 4;

    explicit TKestoHeader(QWidget* parent = nullptr);

    int helpContext() const { return m_helpContext; }
    void setHelpContext(int context) { m_helpContext = context; }

    // The record fields, in field order: the captions the sections are matched against, and the fields
    // the menu can insert (no memo or picture fields). Set before loading a layout.
    void setFields(const controls::FieldList& fields);
    const controls::FieldList& fields() const { return m_fields; }
    void setTemplates(const controls::TemplateHooks& hooks) { m_templates = hooks; }

    // The layout file ("header.dat" and the header templates): list-begin, per section its caption
    // (string) and width (integer), list-end. Loading replaces the sections: a missing or damaged file
    // keeps the sections read whole, and when none result the first two fields are shown at 50 and 100
    // pixels; the answer says whether the file was read through (a header template that could not be
    // read is reported, "header.dat" is not). Saving throws settings::StreamError when the file cannot
    // be written.
    bool LoadFromFile(const QString& path);
    void SaveToFile(const QString& path) const;

    int sectionCount() const { return static_cast<int>(m_sections.size()); }
    const Section& section(int index) const { return m_sections.at(index); }
    const QList<Section>& sections() const { return m_sections; }
    int SectionPercent(int index) const;

    // Every section takes the caption its field has in the new caption list; widths stay.
    void RefreshCaptions(const QStringList& captions);
    // Recomputes the percentages for the header's current width and emits hChanged(); the record list
    // calls it when it has given the header a new width.
    void UpdatePercents();

    // What the menu and the mouse do; each ends with UpdatePercents(). A new section goes to the right
    // end with the room left there; when there is none (3 pixels or less), sections running past the end
    // are cut back to it and the nearest section of at least 20 pixels gives up half its width. The last
    // section is never removed.
    void InsertField(int fieldIndex);
    void RemoveField(const QString& caption);
    void MoveSection(int from, int to);
    void ResizeSection(int index, int width);

    QMenu* popupMenu() const { return m_menu; }
    void showPopupMenu(const QPoint& globalPos);

    QSize sizeHint() const override;

signals:
    void hChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class Gesture
    {
        None,
        Resizing,
        Pressed, // on a section, not yet moved far enough to be a drag
        Dragging
    };

    int sectionAt(int x) const;
    int borderAt(int x) const;
    void lookUpFieldIndexes();
    void fillMenu();
    int makeRoomForNewSection();

    controls::FieldList m_fields;
    controls::TemplateHooks m_templates;
    QList<Section> m_sections;
    QMenu* m_menu = nullptr;
    int m_helpContext = 0;

    Gesture m_gesture = Gesture::None;
    int m_gestureSection = -1;
    QPoint m_pressPos;
    int m_pressWidth = 0;
};
