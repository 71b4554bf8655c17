#pragma once

#include <array>
#include <QByteArray>
#include <QFrame>
#include <QImage>
#include <string>

class QAction;
class QMenu;
class QPainter;
class QScrollArea;
class QToolButton;
class TImageView;

namespace dbase {
class Table;
}
namespace pictures {
class SaneScanner;
}

// A picture field: a scrolling view of the picture, a speed bar and a context menu that load, save, copy,
// paste, capture, scan, print and show the picture full screen. Unbound it holds a picture and the file it
// came from; bound to a record column it keeps the stored value of an unchanged picture byte for byte.
//
// Disabling the control makes it read-only instead: it stays usable for viewing, but clearing, loading,
// pasting, capturing and scanning are off. Enabling it again cannot be seen by the control once it has
// enabled itself, so windows end read-only with setReadOnly(false).
class TMultiImgControl : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(int SpeedBarHeight READ speedBarHeight WRITE setSpeedBarHeight)
    Q_PROPERTY(bool SpeedBarVisible READ isSpeedBarVisible WRITE setSpeedBarVisible)

public:
    static constexpr int defaultWidth = 210;
    static constexpr int defaultHeight = 200;
    static constexpr int smallestWidthWithSpeedBar = 210;

    explicit TMultiImgControl(QWidget* parent = nullptr);

    // --- Parts -------------------------------------------------------------------------------------------
    QScrollArea* ScrollBox;
    QFrame* Panel;
    TImageView* Image;
    // Btn1 to Btn10 by number.
    QToolButton* button(int number) const { return m_buttons.at(static_cast<std::size_t>(number - 1)); }
    // The menu of the right mouse button: the one the window gave, or the control's own.
    QMenu* popupMenu();
    void setPopupMenu(QMenu* menu);

    int speedBarHeight() const { return m_speedBarHeight; }
    void setSpeedBarHeight(int height);
    bool isSpeedBarVisible() const { return m_speedBarVisible; }
    void setSpeedBarVisible(bool visible);
    bool isSpeedBarShown() const;

    // --- State -------------------------------------------------------------------------------------------
    const QImage& picture() const { return m_picture; }
    // The file the picture was last loaded from or saved to; empty when none.
    QString fileName() const { return m_fileName; }
    bool isEmpty() const;
    // Changed by clearing, pasting, capturing or scanning, and not yet saved to a file or the record.
    bool isChanged() const { return m_modified && !isEmpty(); }
    bool isModified() const { return m_modified; }
    bool isLoadedFromFile() const { return m_loadedFromFile; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    bool isAutoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool on);
    // Whether the last scan failed.
    bool scanFailed() const { return m_scanError; }
    void setScanner(pictures::SaneScanner* scanner);
    bool isScannerAvailable() const;

    // --- Operations --------------------------------------------------------------------------------------
    // Loads the file when the path names one; clears the picture when it is empty or names none. False,
    // with the picture left as it was, when the file holds no readable picture.
    bool loadFile(const QString& path);
    void clear();
    // A new picture, as a paste brings one.
    void setPicture(const QImage& picture);
    // Writes the picture in the format of the extension (.bmp, .gif, .jpg, .png, .pcx); false when nothing
    // was written.
    bool saveToFile(const QString& path);
    void saveWithDialog();

    // --- Record binding ----------------------------------------------------------------------------------
    // The stored form (a BMP file image, behind the 8-byte header when the value came with one). An
    // unchanged picture gives back the very bytes it was loaded from, even ones that are no readable BMP.
    QByteArray pictureData() const;
    // Shows a stored value; the picture counts as unchanged.
    void setPictureData(const QByteArray& stored);
    void loadFromColumn(const dbase::Table& table, int column);
    // Writes the picture into the column of the table's current row: a changed picture as a new BMP image,
    // behind the 8-byte header when the column is of the graphic (General) type, an empty one by emptying
    // the column, an unchanged one as the bytes it came with. Only an unchanged picture going back to the
    // very column and row it was loaded from leaves the column untouched.
    void storeToColumn(dbase::Table& table, int column);

    // --- Commands ----------------------------------------------------------------------------------------
    void loadWithDialog();
    void copyToClipboard();
    void pasteFromClipboard();
    void captureScreen();
    void printWithDialog();
    // Draws the picture at the upper left of a printable area of the given size, enlarged or shrunk to fit.
    void printInto(QPainter& painter, const QSize& printableArea) const;
    void scan();
    void selectScanner();
    void showPictureFullScreen();
    void toggleAutoStretch();

signals:
    void pictureChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSpeedBar();
    QMenu* createPopupMenu();
    void updateMenu();
    void updateButtons();
    void updateSpeedBar();
    void layoutPicture();
    // Replaces the picture; the flags are the caller's business.
    void showPicture(const QImage& picture);
    void markChanged(bool fromFile);

    std::array<QToolButton*, 10> m_buttons{};
    QMenu* m_popupMenu = nullptr;
    bool m_ownMenu = false;
    struct MenuItems
    {
        QAction* clear = nullptr;
        QAction* load = nullptr;
        QAction* paste = nullptr;
        QAction* capture = nullptr;
        QAction* scan = nullptr;
        QAction* selectScanner = nullptr;
        QAction* autoStretch = nullptr;
        QAction* toolBar = nullptr;
        QAction* help = nullptr;
    } m_items;

    int m_speedBarHeight = 24;
    bool m_speedBarVisible = true;
    bool m_barHiddenByUser = false;

    QImage m_picture;
    QString m_fileName;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_loadedFromFile = false;
    bool m_autoStretch = false;
    bool m_scanError = false;
    bool m_enablingItself = false;

    // The value the record holds, where it came from, and whether the picture moved away from it since.
    struct Place
    {
        std::string table;
        quint32 record = 0;
        int column = -1;
        bool operator==(const Place&) const = default;
    };
    QByteArray m_stored;
    Place m_storedAt;
    bool m_storedWithHeader = false;
    bool m_differsFromStored = false;
    mutable QByteArray m_encoded;

    pictures::SaneScanner* m_scanner = nullptr;
};
