#include "views/PaintBox.h"

#include "core/Catalogue.h"
#include "windows/WindowMessages.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace tv {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    Menu = new QMenu(this);
    UndoZoomItem = Menu->addAction(QString());
    AutoZoomItem = Menu->addAction(QString());
    AutoZoomItem->setObjectName(QStringLiteral("AutoZoom"));
    AutoZoomItem->setCheckable(true);
    AutoZoomItem->setVisible(false);
    Menu->addSeparator();
    CopyItem = Menu->addAction(QString());
    CopyMonochromeItem = Menu->addAction(QString());
    positionSeparator_ = Menu->addSeparator();
    PositionItem = Menu->addAction(QString());
    PositionItem->setCheckable(true);
    connect(Menu, &QMenu::aboutToShow, this, &PaintBox::Relabel);
    connect(UndoZoomItem, &QAction::triggered, this, [this] {
        if (Send) Send(MSG_ZOOM, 0, 0);
    });
    connect(AutoZoomItem, &QAction::triggered, this, [this] {
        if (Send) Send(MSG_ZOOM, 2, 0);
    });
    connect(CopyItem, &QAction::triggered, this, &PaintBox::CopyToClipboard);
    connect(CopyMonochromeItem, &QAction::triggered, this, [this] {
        if (Send) Send(MSG_COPY_PICTURE, width(), height());
    });
    connect(PositionItem, &QAction::triggered, this, &PaintBox::TogglePositionForm);
    Relabel();
}

void PaintBox::Relabel() {
    const int language = Language ? Language() : 1;
    auto t = [language](const char* s) { return QString::fromStdString(Translate(s, language)); };
    UndoZoomItem->setText(t("Zoom aufheben##Undo zoom"));
    UndoZoomItem->setEnabled(ZoomAllowed);
    AutoZoomItem->setText(t("Automatisches Zoomen##Automatic Zooming"));
    CopyItem->setText(t("1:1 in Zwischenablage##Copy to Clipboard"));
    CopyMonochromeItem->setText(
        t("Schwarz/Weiss in Zwischenablage##Copy to Clipboard (no colors)"));
    PositionItem->setText(t("Positionsinformationsfenster##Position Information Window"));
    const bool position = !PositionForm.isNull();
    PositionItem->setVisible(position);
    positionSeparator_->setVisible(position);
    PositionItem->setChecked(position && PositionForm->isVisible());
}

void PaintBox::Invalidate() {
    dirty_ = true;
    update();
}

void PaintBox::CopyToClipboard() {
    QApplication::clipboard()->setImage(picture_);
}

void PaintBox::TogglePositionForm() {
    if (!PositionForm) return;
    if (PositionForm->isVisible()) {
        PositionForm->hide();
        unsetCursor();
        update();
    } else {
        PositionForm->show();
        setCursor(Qt::CrossCursor);
    }
}

void PaintBox::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize need = size() * ratio;
    if (dirty_ || picture_.size() != need) {
        QImage image(need, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(palette().color(QPalette::Window));
        bool drawn = true;
        if (Render && !need.isEmpty()) {
            QPainter p(&image);
            p.setFont(font());
            drawn = Render(p, size());
        }
        if (drawn) {
            picture_ = image;
            dirty_ = false;
        }
    }
    QPainter p(this);
    if (picture_.isNull() || picture_.size() != need) p.fillRect(rect(), palette().window());
    if (!picture_.isNull()) p.drawImage(0, 0, picture_);
    if (dragging_) {
        // Inverted, so that the band shows on every background.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 0));
        p.setBrush(QBrush(Qt::white, Qt::BDiagPattern));
        p.drawRect(QRect(start_, end_).normalized());
    }
}

void PaintBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        Menu->popup(mapToGlobal(e->position().toPoint()));
        return;
    }
    if (e->button() == Qt::LeftButton && ZoomAllowed) {
        dragging_ = true;
        start_ = end_ = e->position().toPoint();
        update();
    }
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent*) {
    // A double click starts no band.
}

void PaintBox::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMoved(e->position().toPoint());
    if (!dragging_) return;
    end_ = e->position().toPoint();
    update();
}

void PaintBox::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    end_ = e->position().toPoint();
    const QRect r = QRect(start_, end_).normalized();
    update();
    if (r.width() < width() / 50 || r.height() < height() / 50) return; // a click, not a band
    band_ = {r.left(), r.top(), r.right(), r.bottom()};
    const long where = (long(start_.y() & 0xFFFF) << 16) | long(start_.x() & 0xFFFF);
    if (Send) Send(MSG_ZOOM, 1, where);
}

} // namespace tv
