#include "imagelib/core/decode_file.h"

#include <utility>

#include "imagelib/core/bmp_reader.h"
#include "imagelib/core/detect.h"
#include "imagelib/core/input_stream.h"
#include "imagelib/core/gif_decoder.h"
#include "imagelib/core/jpeg_decoder.h"
#include "imagelib/core/pcx_decoder.h"
#include "imagelib/core/targa_decoder.h"

namespace imagelib {
namespace {

LoadStatus RunDecoder(FormatCode format, DecoderState& state) {
    switch (format) {
    case FormatCode::Bmp: return DecodeBmp(state);
    case FormatCode::Jpeg: return DecodeJpeg(state);
    case FormatCode::Targa: return DecodeTarga(state);
    case FormatCode::Pcx: return DecodePcx(state);
    case FormatCode::Gif: return DecodeGif(state);
    case FormatCode::Unknown: break;
    }
    return LoadStatus::NotRecognised;
}

}  // namespace

DecodeResult DecodeFile(const std::string& fileName, const DecodeEnvironment& environment) {
    if (!FileExists(fileName)) return {ImageRecord(), LoadStatus::NoSuchFile};
    const std::optional<FormatCode> format = DetectFormat(fileName, environment.files);
    if (!format) return {ImageRecord(), LoadStatus::ReadFailed};
    if (*format == FormatCode::Unknown) return {ImageRecord(), LoadStatus::NotRecognised};
    ByteBuffer file;
    const LoadStatus read = ReadWholeFile(fileName, environment.files, file);
    if (read != LoadStatus::Ok) return {ImageRecord(), read};
    DecoderState state(environment, std::move(file));
    return state.Finish(RunDecoder(*format, state));
}

}  // namespace imagelib
