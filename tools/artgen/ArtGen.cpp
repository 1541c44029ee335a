// Artwork generator: draws every picture and icon of the agent with QPainter and writes them into
// the source tree (resources/bitmaps/<id>.bmp as 8-bit bitmaps, resources/icons/<id>-<size>.png),
// the demo service's sponsor and vendor pictures (server/demo/*.bmp, 8-bit bitmaps too) and the
// agent's theme icons (packaging/icons/hicolor).
// The generated files are committed; after changing the drawing, regenerate everything with
//   cmake --build <build dir> --target regenerate_artwork
// (which runs: vandu_artgen <source dir>), then rebuild the contact sheet with
//   cmake --build <build dir> --target skin_contact_sheet

#include "tools/artgen/ArtCommon.h"
#include "tools/artgen/Demo.h"
#include "tools/artgen/Faces.h"
#include "tools/artgen/Pieces.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

int g_failures = 0;

void Save(const QImage& image, const QString& path)
{
    const bool ok
        = path.endsWith(QLatin1String(".png")) ? artgen::WritePng(image, path) : artgen::WriteBitmap(image, path);
    if (!ok) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vandu_artgen <source dir>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString bitmaps = root.filePath(QStringLiteral("resources/bitmaps"));
    const QString icons = root.filePath(QStringLiteral("resources/icons"));
    const QString demo = root.filePath(QStringLiteral("server/demo"));
    QDir().mkpath(bitmaps);
    QDir().mkpath(icons);
    QDir().mkpath(demo);
    auto bitmap = [&](int id) { return QStringLiteral("%1/%2.bmp").arg(bitmaps).arg(id); };

    for (int i = 0; i < artgen::kFaceCount; ++i)
        Save(artgen::MakeFace(i), bitmap(artgen::FaceResourceId(i)));
    Save(artgen::MakeOverlay(), bitmap(181));
    for (int id : {162, 203, 201})
        Save(artgen::MakeLcdBackground(id), bitmap(id));
    Save(artgen::MakeVendorStrip(), bitmap(248));
    Save(artgen::MakeSponsor(), bitmap(131));
    for (int id : {198, 129})
        Save(artgen::MakeSidePicture(id), bitmap(id));
    for (int id = 200; id < 280; ++id) {
        if (artgen::IsButtonBitmap(id))
            Save(artgen::MakeButton(id), bitmap(id));
    }
    // Every size a notification area asks for (16 to 48), and twice that for high-density screens.
    for (int id : {128, 167, 168, 169, 170}) {
        for (int size : {16, 22, 24, 32, 44, 48, 64, 96})
            Save(artgen::MakeIcon(id, size), QStringLiteral("%1/%2-%3.png").arg(icons).arg(id).arg(size));
    }
    Save(artgen::MakeDemoSponsor(), demo + QStringLiteral("/sponsor.bmp"));
    Save(artgen::MakeDemoVendor(), demo + QStringLiteral("/vendor.bmp"));
    // The agent's icon in the hicolor theme of the system package, and beside the installed agent.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = root.filePath(QStringLiteral("packaging/icons/hicolor/%1x%1/apps").arg(size));
        QDir().mkpath(folder);
        Save(artgen::MakeIcon(128, size), folder + QStringLiteral("/vandu.png"));
    }
    const QString scalable = root.filePath(QStringLiteral("packaging/icons/hicolor/scalable/apps"));
    QDir().mkpath(scalable);
    QFile svg(scalable + QStringLiteral("/vandu.svg"));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(artgen::MakeAgentIconSvg()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        ++g_failures;
    }
    return g_failures == 0 ? 0 : 1;
}
