#pragma once

#include "views/CoordinateSystem.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;

namespace tv {

// The drawing surface of a diagram window. It keeps the last picture drawn (shown again
// while the content cannot be drawn, e.g. during a solution run), turns a mouse drag into
// a zoom request and offers the copies to the clipboard in its popup menu.
class PaintBox : public QWidget {
    Q_OBJECT
  public:
    explicit PaintBox(QWidget* parent = nullptr);

    // Draws the content into the painter (a picture of the given size); false keeps the
    // previous picture.
    std::function<bool(QPainter&, QSize)> Render;
    // A message to the owning window (MSG_ZOOM, MSG_COPY_PICTURE).
    std::function<void(int msg, long wParam, long lParam)> Send;
    // The language the menu captions are chosen in (1 German, 2 English).
    std::function<int()> Language;

    // Draws anew on the next paint.
    void Invalidate();
    // The visible picture (the 1:1 copy).
    const QImage& Picture() const { return picture_; }
    // The last zoom band in device pixels.
    DeviceRect Band() const { return band_; }
    bool Dragging() const { return dragging_; }

    bool ZoomAllowed = true;
    // A window's position read-out; the popup menu offers it when set.
    QPointer<QWidget> PositionForm;

    QMenu* Menu = nullptr;
    QAction* UndoZoomItem = nullptr;
    QAction* AutoZoomItem = nullptr; // hidden unless the window offers automatic ranges
    QAction* CopyItem = nullptr;
    QAction* CopyMonochromeItem = nullptr;
    QAction* PositionItem = nullptr;

    void CopyToClipboard();
    void TogglePositionForm();

  signals:
    void mouseMoved(QPoint position);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

  public:
    // Sets the context menu's entries in the current language (also before it is shown).
    void Relabel();

  private:

    QImage picture_;
    bool dirty_ = true;
    bool dragging_ = false;
    QPoint start_, end_;
    DeviceRect band_;
    QAction* positionSeparator_ = nullptr;
};

} // namespace tv
