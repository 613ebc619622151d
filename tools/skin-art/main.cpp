// quarvelin-skin-art PICTURES.png ICONS.png [PREVIEW.png SAMPLE.png]
// Writes the built-in skin strips; with two more paths also a 4x preview of the strips and a
// sample patch of map, for judging the artwork by eye.

#include "Art.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s PICTURES.png ICONS.png [PREVIEW.png SAMPLE.png]\n",
                     argv[0]);
        return 2;
    }
    const QImage pictures = art::DrawPictureStrip();
    const QImage icons = art::DrawIconStrip();
    bool ok = pictures.save(QString::fromLocal8Bit(argv[1]), "PNG") &&
              icons.save(QString::fromLocal8Bit(argv[2]), "PNG");
    if (ok && argc == 5)
        ok = art::PreviewStrips(pictures, icons).save(QString::fromLocal8Bit(argv[3]), "PNG") &&
             art::PreviewSample(pictures, icons).save(QString::fromLocal8Bit(argv[4]), "PNG");
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write the images\n", argv[0]);
        return 1;
    }
    return 0;
}
