#pragma once
// Picture files as a whole: reading and writing the bytes of a file, telling the format of a file
// image, and decoding any supported format into a TBgraImage.
//
// Loading by extension is what the program's pickers do (".JPG" goes to the JPEG reader even when
// the file holds something else, and then fails); loading by content serves the callers that take
// whatever a file holds.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/imagefile/bgraimage.h"

enum class TImageFileFormat : uint8_t { Unknown, Bmp, Jpeg, Png, Gif, Tiff, Ico };

// By the leading bytes of the file image.
TImageFileFormat DetectImageFormat(std::span<const uint8_t> Bytes);
// By the extension of the file name, in any case: .bmp .dib .jpg .jpeg .jpe .jfif .png .gif .tif
// .tiff .ico .cur.
TImageFileFormat ImageFormatFromExtension(const std::string& FileName);

// Decodes as Format; Unknown decodes by content and raises EInvalidGraphic("Unknown picture
// format") when the content is none of the formats.
TBgraImage DecodeImage(std::span<const uint8_t> Bytes, TImageFileFormat Format = TImageFileFormat::Unknown,
                       const TImageLimits& Limits = {});
TBgraImage LoadImageFile(const std::string& FileName, TImageFileFormat Format = TImageFileFormat::Unknown,
                         const TImageLimits& Limits = {});

// The whole file. Raises EFOpenError("Cannot open file \"<name>\". <reason>") when it cannot be
// opened or read.
std::vector<uint8_t> ReadFileBytes(const std::string& FileName);
// Writes the bytes under a temporary name in the same folder and renames it over FileName when
// complete, so a failed write leaves any earlier file in place. Raises EFCreateError("Cannot
// create file \"<name>\". <reason>") when the file cannot be made, EWriteError when writing fails.
void WriteFileBytes(const std::string& FileName, std::span<const uint8_t> Bytes);
