// Writes the program's icon as PNG files of the sizes the desktop's icon
// theme holds, for installing beside the SVG:
//   zelvano-icons <folder>   ->   <folder>/<N>x<N>/apps/org.zelvano.Zelvano.png
#include "gui/app/AppIcon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = folder + QStringLiteral("/org.zelvano.Zelvano.png");
        if (!QDir().mkpath(folder) || !zelv::ZelvanoIconImage(size).save(file)) {
            std::fprintf(stderr, "Unable to write to %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
