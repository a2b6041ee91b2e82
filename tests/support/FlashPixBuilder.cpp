#include "support/FlashPixBuilder.h"

#include <cstdio>
#include <unistd.h>

#include <gsf/gsf.h>

#include "support/TestPictures.h"

namespace marbleye::test {

std::string Le32(uint32_t value) {
    return std::string{static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                       static_cast<char>(value >> 24)};
}

namespace {

std::string Le16(uint16_t value) { return std::string{static_cast<char>(value), static_cast<char>(value >> 8)}; }

// One serialised property: its type field (type, two bytes of padding) and
// its value, padded to four bytes.
struct Property {
    uint32_t id;
    std::string value;
};

Property Ui4(uint32_t id, uint32_t value) { return {id, Le16(19) + Le16(0) + Le32(value)}; }

std::string Padded(std::string bytes) {
    while (bytes.size() % 4) bytes.push_back('\0');
    return bytes;
}

Property Blob(uint32_t id, const std::string& bytes) {
    return {id, Le16(65) + Le16(0) + Le32(static_cast<uint32_t>(bytes.size())) + Padded(bytes)};
}

// A clipboard picture: its size counts the format tag (-1, a Windows
// clipboard format), the format number (8, CF_DIB) and the data.
Property ClipboardDib(uint32_t id, const std::string& dib) {
    return {id, Le16(71) + Le16(0) + Le32(static_cast<uint32_t>(dib.size() + 8)) + Le32(0xFFFFFFFF) + Le32(8) +
                    Padded(dib)};
}

// A property set stream of one section: byte order mark, version, system,
// class id, one format id and the section's offset (48), then the section:
// its size, the property count, id and offset pairs, the values.
std::string PropertySetStream(const std::vector<Property>& properties) {
    std::string header = Le16(0xFFFE) + Le16(0) + Le32(0x00020005) + std::string(16, '\0') + Le32(1);
    header += std::string(16, '\x11') + Le32(48);
    std::string table, values;
    const uint32_t tableEnd = 8 + static_cast<uint32_t>(properties.size()) * 8;
    for (const Property& property : properties) {
        table += Le32(property.id) + Le32(tableEnd + static_cast<uint32_t>(values.size()));
        values += property.value;
    }
    const uint32_t sectionSize = tableEnd + static_cast<uint32_t>(values.size());
    return header + Le32(sectionSize) + Le32(static_cast<uint32_t>(properties.size())) + table + values;
}

std::string ImageContents(const FpxFile& file) {
    std::vector<Property> properties;
    properties.push_back(Ui4(0x01000000, static_cast<uint32_t>(file.resolutions.size())));
    if (!file.resolutions.empty()) {
        properties.push_back(Ui4(0x01000002, file.resolutions[0].width));
        properties.push_back(Ui4(0x01000003, file.resolutions[0].height));
    }
    for (size_t i = 0; i < file.resolutions.size(); ++i) {
        const FpxResolution& resolution = file.resolutions[i];
        const uint32_t base = 0x02000000 | static_cast<uint32_t>(i) << 16;
        properties.push_back(Ui4(base, resolution.width));
        properties.push_back(Ui4(base | 1, resolution.height));
        // The colour: the number of subimages (1), the number of channels,
        // then per channel the colour space in bits 16 to 30 and the
        // channel's own number below; an opacity channel is 0x7FFE.
        std::string colour = Le32(1) + Le32(resolution.channels);
        const uint32_t colourChannels = resolution.channels % 2 == 0 ? resolution.channels - 1 : resolution.channels;
        for (uint32_t c = 0; c < resolution.channels; ++c) {
            colour += Le32(file.colourSpace << 16 | (c < colourChannels ? c : 0x7FFE));
        }
        properties.push_back(Blob(base | 2, colour));
    }
    for (const auto& [index, tables] : file.jpegTables) properties.push_back(Blob(0x03000001 | index << 16, tables));
    return PropertySetStream(properties);
}

// The subimage header: its length, the size, the tile count and shape, the
// channels, then where the tile table starts (36) and its entry size (16).
std::string SubimageHeader(const FpxResolution& resolution, std::string& data) {
    std::string table;
    for (const FpxTile& tile : resolution.tiles) {
        table += Le32(static_cast<uint32_t>(data.size())) + Le32(static_cast<uint32_t>(tile.bytes.size())) +
                 Le32(tile.compression) + Le32(tile.subtype);
        data += tile.bytes;
    }
    return Le32(36) + Le32(resolution.width) + Le32(resolution.height) +
           Le32(static_cast<uint32_t>(resolution.tiles.size())) + Le32(resolution.tileWidth) +
           Le32(resolution.tileHeight) + Le32(resolution.channels) + Le32(36) + Le32(16) + table;
}

bool WriteStream(GsfOutfile* parent, const char* name, const std::string& bytes) {
    GsfOutput* stream = gsf_outfile_new_child(parent, name, FALSE);
    if (!stream) return false;
    const bool written = gsf_output_write(stream, bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
    gsf_output_close(stream);
    g_object_unref(stream);
    return written;
}

bool WriteImageObject(GsfOutfile* storage, const FpxFile& file) {
    bool ok = WriteStream(storage, "\005Image Contents", ImageContents(file));
    for (size_t i = 0; i < file.resolutions.size() && ok; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Resolution %04u", static_cast<unsigned>(i));
        GsfOutput* child = gsf_outfile_new_child(storage, name, TRUE);
        if (!child) return false;
        std::string data;
        const std::string header = SubimageHeader(file.resolutions[i], data);
        ok = WriteStream(GSF_OUTFILE(child), "Subimage 0000 Header", header) &&
             WriteStream(GSF_OUTFILE(child), "Subimage 0000 Data", data);
        gsf_output_close(child);
        g_object_unref(child);
    }
    return ok;
}

}  // namespace

std::string Dib24(int32_t width, int32_t height, const std::vector<uint8_t>& bottomUpBgrRows) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::string dib = Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + Le16(1) +
                      Le16(24) + Le32(0) + Le32(stride * static_cast<uint32_t>(height > 0 ? height : -height)) +
                      Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
    dib.append(reinterpret_cast<const char*>(bottomUpBgrRows.data()), bottomUpBgrRows.size());
    return dib;
}

std::string BuildFlashPix(const FpxFile& file) {
    static const bool started = (gsf_init(), true);
    (void)started;
    char path[] = "/tmp/marbleye-fpx-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0) return {};
    close(descriptor);
    GError* error = nullptr;
    GsfOutput* output = gsf_output_stdio_new(path, &error);
    if (error) g_error_free(error);
    if (!output) return {};
    GsfOutfile* root = gsf_outfile_msole_new(output);
    g_object_unref(output);
    bool ok = root != nullptr;
    if (ok && file.summary) {
        std::vector<Property> summary{Ui4(1, 1252)};  // the code page
        if (!file.thumbnailDib.empty()) summary.push_back(ClipboardDib(17, file.thumbnailDib));
        ok = WriteStream(root, "\005SummaryInformation",
                         file.summaryStream.empty() ? PropertySetStream(summary) : file.summaryStream);
    }
    if (ok && file.imageStorage.empty()) {
        ok = WriteImageObject(root, file);
    } else if (ok) {
        GsfOutput* child = gsf_outfile_new_child(root, file.imageStorage.c_str(), TRUE);
        ok = child && WriteImageObject(GSF_OUTFILE(child), file);
        if (child) gsf_output_close(child), g_object_unref(child);
    }
    if (root) gsf_output_close(GSF_OUTPUT(root)), g_object_unref(root);
    std::string bytes = ok ? ReadFileBytes(path) : std::string();
    std::remove(path);
    return bytes;
}

}  // namespace marbleye::test
