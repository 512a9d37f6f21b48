#include "install/FileTypeCatalogue.h"

// Rows 0 to 51: images in alphabetical order of their labels; then Flash and
// fonts, video, audio. Within a row the extensions are registered in order.
const FileTypeEntry FileTypeCatalogue[FileTypeCount] = {
    /*  0 */ {"ANI", "Animated Windows Cursors", 1, {{"ani", "ani"}}, FileTypeIcon::OwnIcon},
    /*  1 */ {"B3D", "BodyPaint 3D Format *", 1, {{"b3d", "b3d"}}, FileTypeIcon::ViewerImage},
    /*  2 */ {"BMP/DIB", "Windows Bitmap", 2, {{"bmp", "bmp"}, {"dib", "bmp"}}, FileTypeIcon::ViewerImage},
    /*  3 */ {"CAM", "Casio Camera Format (JPG only) *", 1, {{"cam", "cam"}}, FileTypeIcon::ViewerImage},
    /*  4 */ {"CLP", "Windows Clipboard", 1, {{"clp", "clp"}}, FileTypeIcon::ViewerImage},
    /*  5 */ {"CRW/CR2", "Canon RAW Format *", 2, {{"crw", "crw"}, {"cr2", "cr2"}}, FileTypeIcon::ViewerImage},
    /*  6 */ {"CUR", "Windows Cursor", 1, {{"cur", "cur"}}, FileTypeIcon::OwnIcon},
    /*  7 */ {"DCM/ACR/IMA", "DICOM Format *", 3, {{"dcm", "dcm"}, {"acr", "dcm"}, {"ima", "dcm"}}, FileTypeIcon::ViewerImage},
    /*  8 */ {"DCX", "Multipage Zsoft Paintbrush", 1, {{"dcx", "dcx"}}, FileTypeIcon::ViewerImage},
    /*  9 */ {"DDS", "Direct Draw Surface *", 1, {{"dds", "dds"}}, FileTypeIcon::ViewerImage},
    /* 10 */ {"DJVU/IW44", "DjVu Format *", 2, {{"djvu", "djvu"}, {"iw44", "djvu"}}, FileTypeIcon::ViewerImage},
    /* 11 */ {"ECW", "Enhanced Compressed Wavelet *", 1, {{"ecw", "ecw"}}, FileTypeIcon::ViewerImage},
    /* 12 */ {"EMF", "Enhanced Windows Metafile", 1, {{"emf", "emf"}}, FileTypeIcon::ViewerImage},
    /* 13 */ {"EPS", "Encapsulated PostScript (TIF only)", 2, {{"eps", "eps"}, {"ps", "eps"}}, FileTypeIcon::ViewerImage},
    /* 14 */ {"EXR", "EXR Format *", 1, {{"exr", "exr"}}, FileTypeIcon::ViewerImage},
    /* 15 */ {"FPX", "FlashPix Format *", 1, {{"fpx", "fpx"}}, FileTypeIcon::ViewerImage},
    /* 16 */ {"FSH", "EA Sports FSH Format *", 1, {{"fsh", "fsh"}}, FileTypeIcon::ViewerImage},
    /* 17 */ {"G3", "G3 FAX Format *", 1, {{"g3", "g3"}}, FileTypeIcon::ViewerImage},
    /* 18 */ {"GIF", "Compuserve GIF", 1, {{"gif", "gif"}}, FileTypeIcon::ViewerImage},
    /* 19 */ {"HDP/WDP", "MS HD Photo *", 2, {{"hdp", "hdp"}, {"wdp", "hdp"}}, FileTypeIcon::ViewerImage},
    /* 20 */ {"ICL", "Windows Icon Library", 1, {{"icl", "icl"}}, FileTypeIcon::OwnIcon},
    /* 21 */ {"ICO", "Windows Icon", 1, {{"ico", "ico"}}, FileTypeIcon::OwnIcon},
    /* 22 */ {"IFF", "Amiga Interchange File Format", 2, {{"iff", "iff"}, {"lbm", "iff"}}, FileTypeIcon::ViewerImage},
    /* 23 */ {"IMG", "GEM Raster Format *", 1, {{"img", "img"}}, FileTypeIcon::ViewerImage},
    /* 24 */ {"JLS", "JPEG-LS Format *", 1, {{"jls", "jls"}}, FileTypeIcon::ViewerImage},
    /* 25 */ {"JP2/JPC/J2K", "JPEG2000 Format *", 3, {{"jp2", "jp2"}, {"jpc", "jp2"}, {"j2k", "jp2"}}, FileTypeIcon::ViewerImage},
    /* 26 */ {"JPG/JPEG/JPE", "JPEG Format", 3, {{"jpg", "jpg"}, {"jpeg", "jpg"}, {"jpe", "jpg"}}, FileTypeIcon::ViewerImage},
    /* 27 */ {"JPM", "JPM Format *", 1, {{"jpm", "jpm"}}, FileTypeIcon::ViewerImage},
    /* 28 */ {"KDC", "Kodak Digital Camera Format *", 1, {{"kdc", "kdc"}}, FileTypeIcon::ViewerImage},
    /* 29 */ {"MNG/JNG", "Multiple Network Graphics *", 2, {{"mng", "mng"}, {"jng", "jng"}}, FileTypeIcon::ViewerImage},
    /* 30 */ {"NLM/NOL/NGG/GSM", "Nokia LogoManager Format *", 4, {{"nlm", "nlm"}, {"nol", "nlm"}, {"ngg", "nlm"}, {"gsm", "nlm"}}, FileTypeIcon::ViewerImage},
    /* 31 */ {"PBM", "Portable Bitmap", 1, {{"pbm", "pbm"}}, FileTypeIcon::ViewerImage},
    /* 32 */ {"PCD", "Kodak Photo CD", 1, {{"pcd", "pcd"}}, FileTypeIcon::ViewerImage},
    /* 33 */ {"PCX", "Zsoft Paintbrush", 1, {{"pcx", "pcx"}}, FileTypeIcon::ViewerImage},
    /* 34 */ {"PGM", "Portable Greymap", 1, {{"pgm", "pgm"}}, FileTypeIcon::ViewerImage},
    /* 35 */ {"PNG", "Portable Network Graphics", 1, {{"png", "png"}}, FileTypeIcon::ViewerImage},
    /* 36 */ {"PPM", "Portable Pixelmap", 1, {{"ppm", "ppm"}}, FileTypeIcon::ViewerImage},
    /* 37 */ {"PSD", "Adobe Photoshop Image", 1, {{"psd", "psd"}}, FileTypeIcon::ViewerImage},
    /* 38 */ {"PSP", "Paint Shop Pro Image *", 1, {{"psp", "psp"}}, FileTypeIcon::ViewerImage},
    /* 39 */ {"RAS", "Sun Raster Format", 2, {{"ras", "ras"}, {"sun", "ras"}}, FileTypeIcon::ViewerImage},
    /* 40 */ {"RAW", "RAW Image Data *", 1, {{"raw", "raw"}}, FileTypeIcon::ViewerImage},
    /* 41 */ {"RLE", "Utah RLE Format *", 1, {{"rle", "rle"}}, FileTypeIcon::ViewerImage},
    /* 42 */ {"SFF", "Structured Fax Format *", 1, {{"sff", "sff"}}, FileTypeIcon::ViewerImage},
    /* 43 */ {"SFW", "Seattle Film Works Format *", 1, {{"sfw", "sfw"}}, FileTypeIcon::ViewerImage},
    /* 44 */ {"SGI", "Silicon Graphics Image *", 2, {{"sgi", "sgi"}, {"rgb", "sgi"}}, FileTypeIcon::ViewerImage},
    /* 45 */ {"SID", "LizardTech MrSID Format *", 1, {{"sid", "sid"}}, FileTypeIcon::ViewerImage},
    /* 46 */ {"TGA", "Truevision Targa", 1, {{"tga", "tga"}}, FileTypeIcon::ViewerImage},
    /* 47 */ {"TIF/TIFF", "Tagged Image File Format", 2, {{"tif", "tif"}, {"tiff", "tif"}}, FileTypeIcon::ViewerImage},
    /* 48 */ {"WMBP", "WAP Bitmap *", 1, {{"wbmp", "wbmp"}}, FileTypeIcon::ViewerImage},
    /* 49 */ {"WMF", "Windows Metafile", 1, {{"wmf", "wmf"}}, FileTypeIcon::ViewerImage},
    /* 50 */ {"XBM", "X-Bitmap *", 1, {{"xbm", "xbm"}}, FileTypeIcon::ViewerImage},
    /* 51 */ {"XPM", "X-Pixmap *", 1, {{"xpm", "xpm"}}, FileTypeIcon::ViewerImage},
    /* 52 */ {"SWF/FLV", "Macromedia Flash Format *", 2, {{"swf", "swf"}, {"flv", "flv"}}, FileTypeIcon::ViewerImage},
    /* 53 */ {"TTF", "True Type Font Format *", 1, {{"ttf", "ttf"}}, FileTypeIcon::ViewerImage},
    /* 54 */ {"ASF", "Advanced Systems Format *", 1, {{"asf", "asf"}}, FileTypeIcon::ViewerVideo},
    /* 55 */ {"AVI", "Video for Windows *", 1, {{"avi", "avi"}}, FileTypeIcon::ViewerVideo},
    /* 56 */ {"MPG/MPE/MPEG", "MPEG Movie *", 3, {{"mpg", "mpg"}, {"mpe", "mpe"}, {"mpeg", "mpg"}}, FileTypeIcon::ViewerVideo},
    /* 57 */ {"MOV", "Apple QuickTime Movie *", 1, {{"mov", "mov"}}, FileTypeIcon::ViewerVideo},
    /* 58 */ {"WMV", "Windows Media Video File *", 1, {{"wmv", "wmv"}}, FileTypeIcon::ViewerVideo},
    /* 59 */ {"AIF", "Audio Interchange Format *", 1, {{"aif", "aif"}}, FileTypeIcon::ViewerAudio},
    /* 60 */ {"MID/RMI", "MIDI Sound Format *", 2, {{"mid", "mid"}, {"rmi", "rmi"}}, FileTypeIcon::ViewerAudio},
    /* 61 */ {"MED", "MED/OctaMED Audio Format *", 1, {{"med", "med"}}, FileTypeIcon::ViewerAudio},
    /* 62 */ {"MP3", "MPEG Audio Format *", 1, {{"mp3", "mp3"}}, FileTypeIcon::ViewerAudio},
    /* 63 */ {"OGG", "Ogg Vorbis Audio Format *", 1, {{"ogg", "ogg"}}, FileTypeIcon::ViewerAudio},
    /* 64 */ {"RA", "Real Audio Format *", 1, {{"ra", "ra"}}, FileTypeIcon::ViewerAudio},
    /* 65 */ {"AU/SND", "SUN Audio Format *", 2, {{"au", "au"}, {"snd", "au"}}, FileTypeIcon::ViewerAudio},
    /* 66 */ {"WAV", "Windows Audio Format *", 1, {{"wav", "wav"}}, FileTypeIcon::ViewerAudio},
    /* 67 */ {"WMA", "Windows Media Audio File *", 1, {{"wma", "wma"}}, FileTypeIcon::ViewerAudio},
};

const char* FileTypeIconSuffix(FileTypeIcon icon) {
    switch (icon) {
        case FileTypeIcon::ViewerImage: return ",0";
        case FileTypeIcon::ViewerVideo: return ",9";
        case FileTypeIcon::ViewerAudio: return ",8";
        case FileTypeIcon::OwnIcon: break;
    }
    return "%1";
}
