#pragma once

#include <QByteArray>
#include <QMap>
#include <QRegularExpression>
#include <QString>

// Just enough of a PDF reader to get the text out of the files Qt's PDF printer writes:
// inflated content streams, text shown with Tj/TJ, glyph codes mapped through each font's
// ToUnicode table. Each text object (BT ... ET) becomes one line.
namespace pdftext {

inline QByteArray Inflate(const QByteArray& raw) {
    QByteArray withSize(4, '\0');
    const quint32 guess = 16u << 20;
    withSize[0] = char(guess >> 24);
    withSize[1] = char(guess >> 16);
    withSize[2] = char(guess >> 8);
    withSize[3] = char(guess);
    return qUncompress(withSize + raw);
}

struct Object {
    QByteArray dict;
    QByteArray stream;
};

inline QMap<int, Object> Objects(const QByteArray& pdf) {
    QMap<int, Object> objects;
    static const QRegularExpression head(QStringLiteral("(\\d+) 0 obj"));
    auto it = head.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        const auto m = it.next();
        const int start = m.capturedEnd();
        const int end = pdf.indexOf("endobj", start);
        if (end < 0) break;
        QByteArray body = pdf.mid(start, end - start);
        Object o;
        const int s = body.indexOf("stream");
        if (s >= 0 && body.indexOf("endstream") > s) {
            o.dict = body.left(s);
            int from = s + 6;
            if (body[from] == '\r') ++from;
            if (body[from] == '\n') ++from;
            QByteArray data = body.mid(from, body.lastIndexOf("endstream") - from);
            o.stream = o.dict.contains("/FlateDecode") ? Inflate(data) : data;
        } else {
            o.dict = body;
        }
        objects.insert(m.captured(1).toInt(), o);
    }
    return objects;
}

inline QMap<uint, QString> CMap(const QByteArray& text) {
    QMap<uint, QString> map;
    const QString t = QString::fromLatin1(text);
    auto hexText = [](const QString& h) {
        QString s;
        for (int i = 0; i + 4 <= h.size(); i += 4) {
            const uint u = h.mid(i, 4).toUInt(nullptr, 16);
            s += u < 32 ? QChar(u' ') : QChar(u); // the writer maps blanks to control codes
        }
        return s;
    };
    static const QRegularExpression chars(QStringLiteral("beginbfchar(.*?)endbfchar"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression pair(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    for (auto it = chars.globalMatch(t); it.hasNext();) {
        const QString block = it.next().captured(1);
        for (auto p = pair.globalMatch(block); p.hasNext();) {
            const auto m = p.next();
            map.insert(m.captured(1).toUInt(nullptr, 16), hexText(m.captured(2)));
        }
    }
    static const QRegularExpression ranges(QStringLiteral("beginbfrange(.*?)endbfrange"),
                                           QRegularExpression::DotMatchesEverythingOption);
    // "<lo> <hi> <first>" or "<lo> <hi> [<a> <b> ...]".
    static const QRegularExpression range(QStringLiteral(
        "<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(?:<([0-9A-Fa-f]+)>|\\[([^\\]]*)\\])"));
    static const QRegularExpression item(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (auto it = ranges.globalMatch(t); it.hasNext();) {
        const QString block = it.next().captured(1);
        for (auto p = range.globalMatch(block); p.hasNext();) {
            const auto m = p.next();
            const uint lo = m.captured(1).toUInt(nullptr, 16);
            const uint hi = m.captured(2).toUInt(nullptr, 16);
            if (!m.captured(3).isEmpty()) {
                const uint dst = m.captured(3).toUInt(nullptr, 16);
                for (uint c = lo; c <= hi && c - lo < 65536; ++c)
                    map.insert(c, QString(QChar(dst + (c - lo))));
            } else {
                uint c = lo;
                for (auto i = item.globalMatch(m.captured(4)); i.hasNext() && c <= hi; ++c)
                    map.insert(c, hexText(i.next().captured(1)));
            }
        }
    }
    return map;
}

struct Placed {
    QString text;
    double x = 0, y = 0; // baseline start of the text object in device units, y downwards
};

// Each text object with the place of its first glyph (Qt's writer moves to every glyph with
// a relative Td in the page's device coordinates, y up).
inline QList<Placed> ExtractPlaced(const QByteArray& pdf) {
    const QMap<int, Object> objects = Objects(pdf);
    // Font resource names to ToUnicode tables.
    QMap<QString, QMap<uint, QString>> fonts;
    static const QRegularExpression fontRef(QStringLiteral("/(F\\w*)\\s+(\\d+) 0 R"));
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode\\s+(\\d+) 0 R"));
    for (const Object& o : objects)
        for (auto it = fontRef.globalMatch(QString::fromLatin1(o.dict)); it.hasNext();) {
            const auto m = it.next();
            const Object font = objects.value(m.captured(2).toInt());
            const auto tu = toUnicode.match(QString::fromLatin1(font.dict));
            if (tu.hasMatch())
                fonts.insert(m.captured(1), CMap(objects.value(tu.captured(1).toInt()).stream));
        }
    QList<Placed> out;
    static const QRegularExpression ops(
        QStringLiteral("/(\\w+)\\s+[\\d.]+\\s+Tf|([-\\d.]+)\\s+([-\\d.]+)\\s+Td|<([0-9A-Fa-f]*)>|"
                       "\\b(ET)\\b"));
    for (const Object& o : objects) {
        if (o.stream.isEmpty() || o.dict.contains("/Length1") || o.dict.contains("/Subtype"))
            continue;
        QMap<uint, QString> current;
        Placed run;
        bool placed = false;
        for (auto it = ops.globalMatch(QString::fromLatin1(o.stream)); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty()) {
                current = fonts.value(m.captured(1));
            } else if (!m.captured(2).isEmpty()) {
                if (!placed) {
                    run.x = m.captured(2).toDouble();
                    run.y = -m.captured(3).toDouble();
                    placed = true;
                }
            } else if (m.capturedLength(4) > 0 || m.captured(0) == QStringLiteral("<>")) {
                const QString hex = m.captured(4);
                for (int i = 0; i + 4 <= hex.size(); i += 4)
                    run.text +=
                        current.value(hex.mid(i, 4).toUInt(nullptr, 16), QStringLiteral("?"));
            } else if (!m.captured(5).isEmpty()) {
                out.append(run);
                run = Placed{};
                placed = false;
            }
        }
    }
    return out;
}

inline QString Extract(const QByteArray& pdf) {
    QString out;
    for (const Placed& p : ExtractPlaced(pdf))
        out += p.text + QLatin1Char('\n');
    return out;
}

} // namespace pdftext
