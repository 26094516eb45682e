#include "imagelib/core/decode_file.h"

#include "imagelib/core/bmp_reader.h"
#include "imagelib/core/detect.h"
#include "imagelib/core/input_stream.h"
#include "imagelib/core/gif_decoder.h"
#include "imagelib/core/jpeg_decoder.h"
#include "imagelib/core/pcx_decoder.h"
#include "imagelib/core/targa_decoder.h"

namespace imagelib {
namespace {

bool RunDecoder(FormatCode format, DecoderState& state) {
    switch (format) {
    case FormatCode::Bmp:
        return DecodeBmp(state);
    case FormatCode::Jpeg:
        return DecodeJpeg(state);
    case FormatCode::Targa:
        return DecodeTarga(state);
    case FormatCode::Pcx:
        return DecodePcx(state);
    case FormatCode::Gif:
        return DecodeGif(state);
    case FormatCode::Unknown:
        break;
    }
    return state.Finish(LoadStatus::NotRecognised);
}

}  // namespace

DecodeResult DecodeFile(const std::string& fileName, const DecodeEnvironment& environment) {
    DecoderState state(environment, fileName);
    DecodeResult result;
    if (!FileExists(fileName)) {
        result.status = LoadStatus::NoSuchFile;
        return result;
    }
    const std::optional<FormatCode> format = DetectFormat(fileName, environment.files);
    if (!format) {
        result.status = LoadStatus::ReadFailed;
        return result;
    }
    if (RunDecoder(*format, state)) result.record = std::move(state.record);
    result.status = state.status;
    return result;
}

}  // namespace imagelib
