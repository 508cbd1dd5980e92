#include "QtFontProvider.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <cmath>
#include <unordered_map>

namespace kit_private {

namespace {

QFont MakeFont(const std::string& family, const std::string& style, float size)
{
    QFont font =
        QFontDatabase::font(QString::fromStdString(family), QString::fromStdString(style), 12);
    font.setFamily(QString::fromStdString(family));
    font.setStyleName(QString::fromStdString(style));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    return font;
}

// Per thread: Qt's font engines are not shared between threads.
const QFontMetricsF& MetricsFor(const FontFace& face, float size)
{
    thread_local std::unordered_map<uint64_t, QFontMetricsF> cache;
    uint64_t key =
        (static_cast<uint64_t>(face.code) << 32) | static_cast<uint32>(std::lround(size * 16));
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.emplace(key, QFontMetricsF(MakeFont(face.family, face.style, size))).first;
    return found->second;
}

SystemFontFace SpecOf(const QFont& font, const char* preferredStyle)
{
    QString family = QFontInfo(font).family();
    QStringList styles = QFontDatabase::styles(family);
    QString style = QFontInfo(font).styleName();
    if (preferredStyle != nullptr) {
        for (const QString& candidate : styles) {
            if (candidate.compare(QLatin1String(preferredStyle), Qt::CaseInsensitive) == 0)
                style = candidate;
        }
    }
    if (!styles.contains(style) && !styles.isEmpty())
        style = styles.front();
    float size = font.pixelSize() > 0 ? static_cast<float>(font.pixelSize())
                                      : static_cast<float>(QFontInfo(font).pixelSize());
    return {family.toStdString(), style.toStdString(), size};
}

} // namespace

QFont _MakeQtFont(uint32 familyAndStyle, float size);

QtFontProvider::QtFontProvider()
{
    for (const QString& family : QFontDatabase::families()) {
        FontFamilyInfo info;
        info.name = family.toStdString();
        for (const QString& style : QFontDatabase::styles(family))
            info.styles.push_back(style.toStdString());
        if (!info.styles.empty())
            fFamilies.push_back(std::move(info));
    }
    QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    fPlain = SpecOf(general, nullptr);
    fBold = SpecOf(general, "Bold");
    fFixed = SpecOf(QFontDatabase::systemFont(QFontDatabase::FixedFont), nullptr);
}

std::vector<FontFamilyInfo> QtFontProvider::Families()
{
    return fFamilies;
}

void QtFontProvider::SystemFonts(SystemFontFace* plain, SystemFontFace* bold, SystemFontFace* fixed)
{
    *plain = fPlain;
    *bold = fBold;
    *fixed = fFixed;
}

float QtFontProvider::StringWidth(const FontFace& face, float size, std::string_view text)
{
    QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return static_cast<float>(MetricsFor(face, size).horizontalAdvance(string));
}

font_height QtFontProvider::Height(const FontFace& face, float size)
{
    const QFontMetricsF& metrics = MetricsFor(face, size);
    return {static_cast<float>(metrics.ascent()), static_cast<float>(metrics.descent()),
            static_cast<float>(metrics.leading())};
}

QFont qt_font(uint32 familyAndStyle, float size)
{
    // Looked up for every style run the GUI applies: keep what was made.
    thread_local std::unordered_map<uint64_t, QFont> cache;
    uint64_t key =
        (static_cast<uint64_t>(familyAndStyle) << 32) | static_cast<uint32>(std::lround(size * 16));
    auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    QFont made = _MakeQtFont(familyAndStyle, size);
    cache.emplace(key, made);
    return made;
}

QFont _MakeQtFont(uint32 familyAndStyle, float size)
{
    const FontFace* face = find_font_face(familyAndStyle);
    if (face == nullptr)
        face = find_font_face(be_plain_font->FamilyAndStyle());
    if (face == nullptr) {
        QFont font;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
        return font;
    }
    return MakeFont(face->family, face->style, size);
}

QFont qt_font(const BFont& font)
{
    return qt_font(font.FamilyAndStyle(), font.Size());
}

} // namespace kit_private
