// Draws the PNG icons of the program from its SVG: tervalis-icon SVG OUTPUT.png SIZE...
// writes OUTPUT with the size in its name, e.g. icon-48.png.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: tervalis-icon ICON.svg OUT_DIR SIZE...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "%s: not a valid SVG\n", argv[1]);
        return 1;
    }
    int errors = 0;
    for (int k = 3; k < argc; ++k) {
        const int size = QByteArray(argv[k]).toInt();
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "bad size %s\n", argv[k]);
            ++errors;
            continue;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
        p.end();
        const QString out =
            QStringLiteral("%1/%2x%2.png").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!image.save(out, "PNG")) {
            std::fprintf(stderr, "%s: not written\n", qPrintable(out));
            ++errors;
        }
    }
    return errors == 0 ? 0 : 1;
}
