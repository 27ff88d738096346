#include "render/ViewPictures.h"

#include "core/Model.h"
#include "services/WindowFrame.h"
#include "views/SequenceTableWindow.h"
#include "windows/WindowMessages.h"
#include "windows/WorkingWindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTemporaryFile>

#include <sys/stat.h>

#include <cstdio>

namespace tv {

namespace {

bool SaveBytes(const QByteArray& bytes, const QString& path, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

QByteArray SvgOf(WorkingWindow& window, QSize size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    // The same logical resolution as the bitmap copy, so that fonts come out alike.
    svg.setResolution(QImage(1, 1, QImage::Format_ARGB32).logicalDpiX());
    svg.setTitle(window.windowTitle());
    svg.setDescription(window.frame().programTitle());
    QPainter painter(&svg);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    PaintTarget target;
    target.kind = PaintTarget::Image;
    target.painter = &painter;
    target.device = &svg;
    target.body = QRect(QPoint(0, 0), size);
    window.PaintTo(target);
    painter.end();
    return buffer.data();
}

// The window's print job into a file beside the target, renamed over it when complete.
bool PrintToPdf(WorkingWindow& window, const QString& path, QString& error) {
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.tervalis-XXXXXX.pdf"));
    if (!temp.open()) {
        error = temp.errorString();
        return false;
    }
    temp.close();
    QPrinter& printer = window.frame().printer();
    const QString previous = printer.outputFileName();
    const QPrinter::OutputFormat previousFormat = printer.outputFormat();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temp.fileName());
    // A picture of the sequence table holds the whole analysis interval; its print command
    // would ask for the range first.
    if (auto* table = dynamic_cast<SequenceTableWindow*>(&window)) {
        const Model& m = window.frame().model();
        table->PrintPeriods(m.Periods.LeftEdge, m.Periods.RightEdge);
    } else {
        window.Message(MSG_PRINT, 1, 1);
    }
    printer.setOutputFileName(previous);
    printer.setOutputFormat(previousFormat);
    if (QFileInfo(temp.fileName()).size() == 0) {
        error = QStringLiteral("the print job wrote nothing");
        return false;
    }
    if (!MoveIntoPlace(temp.fileName(), path)) {
        error = QStringLiteral("cannot replace the file");
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

} // namespace

bool MoveIntoPlace(const QString& from, const QString& to) {
    const QByteArray target = QFile::encodeName(to);
    if (std::rename(QFile::encodeName(from).constData(), target.constData()) != 0) return false;
    // A temporary file is private to its owner; the result is not.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(target.constData(), 0666 & ~mask);
    return true;
}

PictureFormat PictureFormatOf(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("png")) return PictureFormat::Png;
    if (ext == QLatin1String("pdf")) return PictureFormat::Pdf;
    if (ext == QLatin1String("svg")) return PictureFormat::Svg;
    return PictureFormat::Unknown;
}

bool WriteWindowPicture(WorkingWindow& window, PictureFormat format, QSize size,
                        const QString& path, QString& error) {
    switch (format) {
    case PictureFormat::Png: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // Opaque pixels, and quick compression: the encoder would take longer than the
        // whole start-up, solution and drawing together.
        QImageWriter writer(&buffer, "png");
        writer.setCompression(15);
        const QImage picture = window.RenderPicture(size.width(), size.height());
        if (picture.isNull() || !writer.write(picture.convertToFormat(QImage::Format_RGB32))) {
            error = QStringLiteral("the picture is empty");
            return false;
        }
        return SaveBytes(bytes, path, error);
    }
    case PictureFormat::Svg:
        return SaveBytes(SvgOf(window, size), path, error);
    case PictureFormat::Pdf:
        return PrintToPdf(window, path, error);
    case PictureFormat::Unknown:
        break;
    }
    error = QStringLiteral("unknown picture format");
    return false;
}

} // namespace tv
