// Every row of the format table, module by module, in the table's order.
//
// A new reader adds its rows here, in AddImageReaderFormats at the places its
// extensions hold in the comment's list, and nowhere else: the table order is
// fixed, and a reader class needs only `StaticClassName` and a default
// constructor to be listed (see GraphicClassOf).
#include "imageio/fileformats.h"

#include "imageio/bitmap.h"
#include "imageio/iconimage.h"
#include "imageio/gifreader.h"
#include "imageio/jpegimage.h"
#include "imageio/pcxreader.h"
#include "imageio/ppmreader.h"
#include "imageio/targareader.h"
#include "imageio/tiffreader.h"

namespace tessaria {

void AddFrameworkFormats(TFileFormatsList& list)
{
    // "wmf" "Metafiles" and "emf" "Enhanced Metafiles" come first; the
    // metafile class draws with Qt, so imageio/qt puts them in front
    // (RegisterMetafileFormats).
    list.AddFileFormat("ico", "Icons", GraphicClassOf<TIcon>());
    list.AddFileFormat("bmp", "Bitmaps", GraphicClassOf<TBitmap>());
}

void AddJPEGFormats(TFileFormatsList& list)
{
    list.AddFileFormat("jpeg", "JPEG Image File", GraphicClassOf<TJPEGImage>());
    list.AddFileFormat("jpg", "JPEG Image File", GraphicClassOf<TJPEGImage>());
}

void AddImageReaderFormats(TFileFormatsList& list)
{
    // The full order, readers still to come included:
    //  1 win, 2 vst, 3 vda (Targa), 4 tiff, 5 tif (TIFF), 6 tga (Targa),
    //  7 sgi (SGI), 8 scr (PCX), 9 rpf (RLA), 10 rle (Windows bitmap),
    // 11 rla (RLA), 12 rgba, 13 rgb (SGI), 14 psd (PSD), 15 ppm, 16 pgm,
    // 17 pbm (PPM), 18 pic (Autodesk), 19 pcx (PCX), 20 pdd (PSD), 21 pcd (PCD),
    // 22 pcc (PCX), 23 icb (Targa), 24 gif (GIF), 25 dib (Windows bitmap),
    // 26 cut (CUT), 27 cel (Autodesk), 28 bw (SGI).
    list.AddFileFormat("win", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("vst", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("vda", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("tiff", "TIFF images", GraphicClassOf<TTIFFGraphic>());
    list.AddFileFormat("tif", "TIFF images", GraphicClassOf<TTIFFGraphic>());
    list.AddFileFormat("tga", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("scr", "Word 5.x screen capture images", GraphicClassOf<TPCXGraphic>());
    list.AddFileFormat("rle", "Windows bitmap", GraphicClassOf<TBitmap>());
    list.AddFileFormat("ppm", "Portable pixel map images", GraphicClassOf<TPPMGraphic>());
    list.AddFileFormat("pgm", "Portable grayscale images", GraphicClassOf<TPPMGraphic>());
    list.AddFileFormat("pbm", "Portable b&w images", GraphicClassOf<TPPMGraphic>());
    list.AddFileFormat("pcx", "ZSoft PCX images", GraphicClassOf<TPCXGraphic>());
    list.AddFileFormat("pcc", "ZSoft PCC images", GraphicClassOf<TPCXGraphic>());
    list.AddFileFormat("icb", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("gif", "CompuServe images", GraphicClassOf<TGIFGraphic>());
    list.AddFileFormat("dib", "Windows bitmap", GraphicClassOf<TBitmap>());
}

} // namespace tessaria
