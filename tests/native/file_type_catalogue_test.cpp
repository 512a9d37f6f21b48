// The catalogue checked against a second, independent transcription of the
// published list of file types: one line per row, written as the list reads
// ("label|description|ext ext (stem) ...|icon").
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/FileTypeCatalogue.h"

namespace {

// In the extensions field a "(stem)" applies to the extensions since the
// previous stem; a lone extension without one is its own stem.
const char* const kPublishedRows[FileTypeCount] = {
    "ANI|Animated Windows Cursors|ani|%1",
    "B3D|BodyPaint 3D Format *|b3d|,0",
    "BMP/DIB|Windows Bitmap|bmp dib (bmp)|,0",
    "CAM|Casio Camera Format (JPG only) *|cam|,0",
    "CLP|Windows Clipboard|clp|,0",
    "CRW/CR2|Canon RAW Format *|crw (crw) cr2 (cr2)|,0",
    "CUR|Windows Cursor|cur|%1",
    "DCM/ACR/IMA|DICOM Format *|dcm acr ima (dcm)|,0",
    "DCX|Multipage Zsoft Paintbrush|dcx|,0",
    "DDS|Direct Draw Surface *|dds|,0",
    "DJVU/IW44|DjVu Format *|djvu iw44 (djvu)|,0",
    "ECW|Enhanced Compressed Wavelet *|ecw|,0",
    "EMF|Enhanced Windows Metafile|emf|,0",
    "EPS|Encapsulated PostScript (TIF only)|eps ps (eps)|,0",
    "EXR|EXR Format *|exr|,0",
    "FPX|FlashPix Format *|fpx|,0",
    "FSH|EA Sports FSH Format *|fsh|,0",
    "G3|G3 FAX Format *|g3|,0",
    "GIF|Compuserve GIF|gif|,0",
    "HDP/WDP|MS HD Photo *|hdp wdp (hdp)|,0",
    "ICL|Windows Icon Library|icl|%1",
    "ICO|Windows Icon|ico|%1",
    "IFF|Amiga Interchange File Format|iff lbm (iff)|,0",
    "IMG|GEM Raster Format *|img|,0",
    "JLS|JPEG-LS Format *|jls|,0",
    "JP2/JPC/J2K|JPEG2000 Format *|jp2 jpc j2k (jp2)|,0",
    "JPG/JPEG/JPE|JPEG Format|jpg jpeg jpe (jpg)|,0",
    "JPM|JPM Format *|jpm|,0",
    "KDC|Kodak Digital Camera Format *|kdc|,0",
    "MNG/JNG|Multiple Network Graphics *|mng (mng) jng (jng)|,0",
    "NLM/NOL/NGG/GSM|Nokia LogoManager Format *|nlm nol ngg gsm (nlm)|,0",
    "PBM|Portable Bitmap|pbm|,0",
    "PCD|Kodak Photo CD|pcd|,0",
    "PCX|Zsoft Paintbrush|pcx|,0",
    "PGM|Portable Greymap|pgm|,0",
    "PNG|Portable Network Graphics|png|,0",
    "PPM|Portable Pixelmap|ppm|,0",
    "PSD|Adobe Photoshop Image|psd|,0",
    "PSP|Paint Shop Pro Image *|psp|,0",
    "RAS|Sun Raster Format|ras sun (ras)|,0",
    "RAW|RAW Image Data *|raw|,0",
    "RLE|Utah RLE Format *|rle|,0",
    "SFF|Structured Fax Format *|sff|,0",
    "SFW|Seattle Film Works Format *|sfw|,0",
    "SGI|Silicon Graphics Image *|sgi rgb (sgi)|,0",
    "SID|LizardTech MrSID Format *|sid|,0",
    "TGA|Truevision Targa|tga|,0",
    "TIF/TIFF|Tagged Image File Format|tif tiff (tif)|,0",
    "WMBP|WAP Bitmap *|wbmp|,0",
    "WMF|Windows Metafile|wmf|,0",
    "XBM|X-Bitmap *|xbm|,0",
    "XPM|X-Pixmap *|xpm|,0",
    "SWF/FLV|Macromedia Flash Format *|swf (swf) flv (flv)|,0",
    "TTF|True Type Font Format *|ttf|,0",
    "ASF|Advanced Systems Format *|asf|,9",
    "AVI|Video for Windows *|avi|,9",
    "MPG/MPE/MPEG|MPEG Movie *|mpg (mpg) mpe (mpe) mpeg (mpg)|,9",
    "MOV|Apple QuickTime Movie *|mov|,9",
    "WMV|Windows Media Video File *|wmv|,9",
    "AIF|Audio Interchange Format *|aif|,8",
    "MID/RMI|MIDI Sound Format *|mid (mid) rmi (rmi)|,8",
    "MED|MED/OctaMED Audio Format *|med|,8",
    "MP3|MPEG Audio Format *|mp3|,8",
    "OGG|Ogg Vorbis Audio Format *|ogg|,8",
    "RA|Real Audio Format *|ra|,8",
    "AU/SND|SUN Audio Format *|au snd (au)|,8",
    "WAV|Windows Audio Format *|wav|,8",
    "WMA|Windows Media Audio File *|wma|,8",
};

struct PublishedRow {
    std::string label, description, icon;
    std::vector<std::pair<std::string, std::string>> extensions;  // (extension, stem)
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
    return parts;
}

PublishedRow Parse(const char* line) {
    const std::vector<std::string> fields = Split(line, '|');
    PublishedRow row{fields.at(0), fields.at(1), fields.at(3), {}};
    std::vector<std::string> pending;
    for (const std::string& word : Split(fields.at(2), ' ')) {
        if (word.front() == '(') {
            const std::string stem = word.substr(1, word.size() - 2);
            for (const std::string& ext : pending) row.extensions.emplace_back(ext, stem);
            pending.clear();
        } else {
            pending.push_back(word);
        }
    }
    // A single extension without a stem is its own stem.
    if (pending.size() == 1 && row.extensions.empty()) row.extensions.emplace_back(pending[0], pending[0]);
    EXPECT_TRUE(pending.size() <= 1) << line;
    return row;
}

std::string Catalogued(const FileTypeEntry& entry) {
    std::string text;
    for (int i = 0; i < entry.extensionCount; ++i) {
        text += std::string(entry.extensions[i].extension) + ":" + entry.extensions[i].stem + " ";
    }
    return text;
}

std::string Published(const PublishedRow& row) {
    std::string text;
    for (const auto& [ext, stem] : row.extensions) text += ext + ":" + stem + " ";
    return text;
}

TEST(FileTypeCatalogue, EveryRowMatchesThePublishedList) {
    for (int i = 0; i < FileTypeCount; ++i) {
        const PublishedRow expected = Parse(kPublishedRows[i]);
        const FileTypeEntry& entry = FileTypeCatalogue[i];
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(expected.label, entry.label);
        EXPECT_EQ(expected.description, entry.description);
        EXPECT_EQ(Published(expected), Catalogued(entry));
        EXPECT_EQ(expected.icon, FileTypeIconSuffix(entry.icon));
    }
}

TEST(FileTypeCatalogue, Holds68RowsOf92ExtensionsUnder73Stems) {
    std::set<std::string> extensions, stems;
    int extensionCount = 0;
    for (const FileTypeEntry& entry : FileTypeCatalogue) {
        ASSERT_GE(entry.extensionCount, 1);
        ASSERT_LE(entry.extensionCount, kMaxExtensionsPerType);
        for (int i = 0; i < entry.extensionCount; ++i) {
            ++extensionCount;
            extensions.insert(entry.extensions[i].extension);
            stems.insert(entry.extensions[i].stem);
        }
    }
    EXPECT_EQ(68, FileTypeCount);
    EXPECT_EQ(52, ImageTypeCount);
    EXPECT_EQ(92, extensionCount);
    EXPECT_EQ(92u, extensions.size()) << "an extension is listed twice";
    EXPECT_EQ(73u, stems.size());
}

// A stem belongs to one row only: otherwise two rows would share one class
// and the later row's icon would overwrite the earlier one's.
TEST(FileTypeCatalogue, NoStemIsSharedBetweenRows) {
    std::map<std::string, int> rowOfStem;
    for (int row = 0; row < FileTypeCount; ++row) {
        const FileTypeEntry& entry = FileTypeCatalogue[row];
        for (int i = 0; i < entry.extensionCount; ++i) {
            const auto [it, inserted] = rowOfStem.emplace(entry.extensions[i].stem, row);
            EXPECT_TRUE(inserted || it->second == row) << entry.extensions[i].stem;
        }
    }
}

// Extensions are what the registry keys are named after: lower case, no dot.
TEST(FileTypeCatalogue, ExtensionsAndStemsAreLowerCaseWithoutDot) {
    for (const FileTypeEntry& entry : FileTypeCatalogue) {
        for (int i = 0; i < entry.extensionCount; ++i) {
            for (const char* text : {entry.extensions[i].extension, entry.extensions[i].stem}) {
                for (const char* c = text; *c; ++c) {
                    EXPECT_TRUE((*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9')) << text;
                }
            }
        }
    }
}

// The rows whose extensions or stems are not simply the label's parts,
// spelled out once more so that a wrong edit of either list shows here too.
TEST(FileTypeCatalogue, IrregularRows) {
    struct Case {
        int row;
        const char* expected;  // "ext:stem ..." in catalogue order
    } cases[] = {
        {5, "crw:crw cr2:cr2 "},
        {13, "eps:eps ps:eps "},
        {22, "iff:iff lbm:iff "},
        {29, "mng:mng jng:jng "},
        {39, "ras:ras sun:ras "},
        {44, "sgi:sgi rgb:sgi "},
        {48, "wbmp:wbmp "},
        {52, "swf:swf flv:flv "},
        {56, "mpg:mpg mpe:mpe mpeg:mpg "},
        {60, "mid:mid rmi:rmi "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, Catalogued(FileTypeCatalogue[c.row])) << "row " << c.row;
    }
    EXPECT_STREQ("WMBP", FileTypeCatalogue[48].label);
}

TEST(FileTypeCatalogue, ImagesComeFirstInLabelOrderAndPluginTypesEndInStar) {
    for (int row = 1; row < ImageTypeCount; ++row) {
        EXPECT_LT(std::string(FileTypeCatalogue[row - 1].label), FileTypeCatalogue[row].label)
            << "row " << row;
    }
    int pluginRows = 0;
    for (const FileTypeEntry& entry : FileTypeCatalogue) {
        const std::string description = entry.description;
        pluginRows += description.size() > 2 && description.compare(description.size() - 2, 2, " *") == 0;
    }
    // Counted in the published list: 29 image rows and all 16 others need a plug-in.
    EXPECT_EQ(45, pluginRows);
}

TEST(FileTypeCatalogue, IconFormsByRow) {
    std::map<FileTypeIcon, std::set<int>> rowsByIcon;
    for (int row = 0; row < FileTypeCount; ++row) rowsByIcon[FileTypeCatalogue[row].icon].insert(row);
    EXPECT_EQ((std::set<int>{0, 6, 20, 21}), rowsByIcon[FileTypeIcon::OwnIcon]);
    EXPECT_EQ((std::set<int>{54, 55, 56, 57, 58}), rowsByIcon[FileTypeIcon::ViewerVideo]);
    EXPECT_EQ((std::set<int>{59, 60, 61, 62, 63, 64, 65, 66, 67}), rowsByIcon[FileTypeIcon::ViewerAudio]);
    EXPECT_EQ(68u - 4 - 5 - 9, rowsByIcon[FileTypeIcon::ViewerImage].size());
}

}  // namespace
