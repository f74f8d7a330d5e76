// Every row of the format table, module by module, in the table's order.
//
// Rows are added here and nowhere else: the table order is fixed, and a
// reader class needs only `StaticClassName` and a default constructor to be
// listed (see GraphicClassOf).
#include "imageio/fileformats.h"

#include "imageio/autodeskreader.h"
#include "imageio/bitmap.h"
#include "imageio/cutreader.h"
#include "imageio/iconimage.h"
#include "imageio/gifreader.h"
#include "imageio/heifreader.h"
#include "imageio/jpegimage.h"
#include "imageio/pcdreader.h"
#include "imageio/pcxreader.h"
#include "imageio/pngreader.h"
#include "imageio/ppmreader.h"
#include "imageio/psdreader.h"
#include "imageio/rlareader.h"
#include "imageio/sgireader.h"
#include "imageio/targareader.h"
#include "imageio/tiffreader.h"
#include "imageio/webpreader.h"

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
    // The fixed order of the table; "rle" and "dib" are Windows bitmaps.
    list.AddFileFormat("win", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("vst", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("vda", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("tiff", "TIFF images", GraphicClassOf<TTIFFGraphic>());
    list.AddFileFormat("tif", "TIFF images", GraphicClassOf<TTIFFGraphic>());
    list.AddFileFormat("tga", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("sgi", "SGI true color images", GraphicClassOf<TSGIGraphic>());
    list.AddFileFormat("scr", "Word 5.x screen capture images", GraphicClassOf<TPCXGraphic>());
    list.AddFileFormat("rpf", "SGI Wavefront images", GraphicClassOf<TRLAGraphic>());
    list.AddFileFormat("rle", "Windows bitmap", GraphicClassOf<TBitmap>());
    list.AddFileFormat("rla", "SGI Wavefront images", GraphicClassOf<TRLAGraphic>());
    list.AddFileFormat("rgba", "SGI true color images", GraphicClassOf<TSGIGraphic>());
    list.AddFileFormat("rgb", "SGI true color images", GraphicClassOf<TSGIGraphic>());
    list.AddFileFormat("psd", "Photoshop images", GraphicClassOf<TPSDGraphic>());
    list.AddFileFormat("ppm", "Portable pixel map images", GraphicClassOf<TPPMGraphic>());
    list.AddFileFormat("pgm", "Portable grayscale images", GraphicClassOf<TPPMGraphic>());
    list.AddFileFormat("pbm", "Portable b&w images", GraphicClassOf<TPPMGraphic>());
    list.AddFileFormat("pic", "Autodesk images", GraphicClassOf<TAutodeskGraphic>());
    list.AddFileFormat("pcx", "ZSoft PCX images", GraphicClassOf<TPCXGraphic>());
    list.AddFileFormat("pdd", "Photoshop images", GraphicClassOf<TPSDGraphic>());
    list.AddFileFormat("pcd", "Kodak Photo-CD images", GraphicClassOf<TPCDGraphic>());
    list.AddFileFormat("pcc", "ZSoft PCC images", GraphicClassOf<TPCXGraphic>());
    list.AddFileFormat("icb", "Truevision images", GraphicClassOf<TTargaGraphic>());
    list.AddFileFormat("gif", "CompuServe images", GraphicClassOf<TGIFGraphic>());
    list.AddFileFormat("dib", "Windows bitmap", GraphicClassOf<TBitmap>());
    list.AddFileFormat("cut", "Dr. Halo images", GraphicClassOf<TCUTGraphic>());
    list.AddFileFormat("cel", "Autodesk images", GraphicClassOf<TAutodeskGraphic>());
    list.AddFileFormat("bw", "SGI black/white images", GraphicClassOf<TSGIGraphic>());
}

void AddLibraryFormats(TFileFormatsList& list)
{
    list.AddFileFormat("png", "PNG images", GraphicClassOf<TPNGGraphic>());
    list.AddFileFormat("webp", "WebP images", GraphicClassOf<TWebPGraphic>());
    list.AddFileFormat("heic", "HEIF images", GraphicClassOf<THEIFGraphic>());
    list.AddFileFormat("heif", "HEIF images", GraphicClassOf<THEIFGraphic>());
    list.AddFileFormat("avif", "AVIF images", GraphicClassOf<THEIFGraphic>());
}

} // namespace tessaria
