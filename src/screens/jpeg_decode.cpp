#include "screens/jpeg_decode.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr int32_t kChunkSize = 4096;

struct JpegMemorySource {
    jpeg_source_mgr pub;
    const unsigned char* data;
    int32_t length;
    int32_t position;
    JOCTET* buffer;
    boolean startOfFile;
};

JpegMemorySource* SourceOf(j_decompress_ptr decompressor) {
    return reinterpret_cast<JpegMemorySource*>(decompressor->src);
}

void InitSource(j_decompress_ptr decompressor) {
    SourceOf(decompressor)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr decompressor) {
    JpegMemorySource* source = SourceOf(decompressor);
    size_t count;
    if (source->position < source->length) {
        int32_t left = source->length - source->position;
        count = static_cast<size_t>(left < kChunkSize ? left : kChunkSize);
        std::memcpy(source->buffer, source->data + source->position, count);
        source->position += static_cast<int32_t>(count);
    } else {
        if (source->startOfFile) {
            ERREXIT(decompressor, JERR_INPUT_EMPTY);
        }
        // A cut file still ends: hand over an end-of-image marker.
        WARNMS(decompressor, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->startOfFile = FALSE;
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = count;
    return TRUE;
}

void SkipInputData(j_decompress_ptr decompressor, long n) {
    if (n <= 0) {
        return;
    }
    JpegMemorySource* source = SourceOf(decompressor);
    while (n > static_cast<long>(source->pub.bytes_in_buffer)) {
        n -= static_cast<long>(source->pub.bytes_in_buffer);
        FillInputBuffer(decompressor);
    }
    source->pub.next_input_byte += n;
    source->pub.bytes_in_buffer -= static_cast<size_t>(n);
}

void TermSource(j_decompress_ptr) {}

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf recovery;
};

// Fatal library errors are silent: the image simply stays empty.
void ExitToRecovery(j_common_ptr decompressor) {
    longjmp(reinterpret_cast<JpegErrorManager*>(decompressor->err)->recovery, 1);
}

void ShowWarningBox(j_common_ptr decompressor) {
    char message[JMSG_LENGTH_MAX];
    decompressor->err->format_message(decompressor, message);
    MessageBoxA(GetActiveWindow(), message, "JPEG Error", MB_OK);
}

// Everything the decoding touches lives here, outside the frame that calls
// setjmp, so nothing it reads after a longjmp is an indeterminate local.
struct DecodeState {
    jpeg_decompress_struct decompressor;
    JpegErrorManager errors;
    unsigned char* block;
};

bool AllocateBlock(DecodeState* state) {
    uint64_t size =
        uint64_t{state->decompressor.output_width} * state->decompressor.output_height * 3;
    // Larger images cannot become a bitmap and would overflow the size.
    if (size > INT32_MAX) {
        return false;
    }
    state->block = static_cast<unsigned char*>(std::malloc(size != 0 ? size : 1));
    return state->block != nullptr;
}

bool DecodeInto(DecodeState* state, const unsigned char* data, int32_t length) {
    state->decompressor.err = jpeg_std_error(&state->errors.pub);
    state->errors.pub.error_exit = ExitToRecovery;
    state->errors.pub.output_message = ShowWarningBox;
    if (setjmp(state->errors.recovery)) {
        jpeg_destroy_decompress(&state->decompressor);
        std::free(state->block);
        state->block = nullptr;
        return false;
    }
    jpeg_create_decompress(&state->decompressor);
    AttachJpegMemorySource(&state->decompressor, data, length);
    jpeg_read_header(&state->decompressor, TRUE);
    // The library writes blue, green, red itself, straight into the block;
    // greyscale is expanded, and what cannot become colour fails to start.
    state->decompressor.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&state->decompressor);
    if (state->decompressor.output_components != 3 || !AllocateBlock(state)) {
        jpeg_destroy_decompress(&state->decompressor);
        return false;
    }
    while (state->decompressor.output_scanline < state->decompressor.output_height) {
        JSAMPROW row = state->block + size_t{state->decompressor.output_scanline} *
                                          state->decompressor.output_width * 3;
        // The source never suspends; a row that does not come is a broken stream.
        if (jpeg_read_scanlines(&state->decompressor, &row, 1) != 1) {
            jpeg_destroy_decompress(&state->decompressor);
            std::free(state->block);
            state->block = nullptr;
            return false;
        }
    }
    jpeg_finish_decompress(&state->decompressor);
    jpeg_destroy_decompress(&state->decompressor);
    return true;
}

} // namespace

void AttachJpegMemorySource(jpeg_decompress_struct* decompressor, const unsigned char* data,
                            int32_t length) {
    if (decompressor->src == nullptr) {
        auto* source = static_cast<JpegMemorySource*>(
            decompressor->mem->alloc_small(reinterpret_cast<j_common_ptr>(decompressor),
                                           JPOOL_PERMANENT, sizeof(JpegMemorySource)));
        source->buffer = static_cast<JOCTET*>(decompressor->mem->alloc_small(
            reinterpret_cast<j_common_ptr>(decompressor), JPOOL_PERMANENT, kChunkSize));
        decompressor->src = &source->pub;
    }
    JpegMemorySource* source = SourceOf(decompressor);
    source->data = data;
    source->length = length;
    source->position = 0;
    source->pub.next_input_byte = nullptr;
    source->pub.bytes_in_buffer = 0;
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
}

bool DecodeJpegToBgr(const unsigned char* data, int32_t length, BgrBlock& block) {
    DecodeState state{};
    if (!DecodeInto(&state, data, length)) {
        return false;
    }
    block.pixels.reset(state.block);
    block.width = static_cast<int32_t>(state.decompressor.output_width);
    block.height = static_cast<int32_t>(state.decompressor.output_height);
    return true;
}

HBITMAP CreateBitmapFromJpeg(const unsigned char* data, int32_t length) {
    BgrBlock block;
    if (!DecodeJpegToBgr(data, length, block)) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = block.width;
    info.bmiHeader.biHeight = -block.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) {
        return nullptr;
    }
    size_t rowBytes = size_t(block.width) * 3;
    size_t stride = (rowBytes + 3) & ~size_t{3};
    auto* out = static_cast<unsigned char*>(bits);
    const unsigned char* in = block.pixels.get();
    for (int32_t y = 0; y < block.height; ++y) {
        std::memcpy(out, in, rowBytes);
        std::memset(out + rowBytes, 0, stride - rowBytes);
        out += stride;
        in += rowBytes;
    }
    return bitmap;
}
