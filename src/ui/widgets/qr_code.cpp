#include "ui/widgets/qr_code.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace flextor {
namespace {

constexpr int kQuietZone = 4;  // modules of white round the code, as readers want

}  // namespace

QrCode::QrCode() {
    set_size_request(200, 200);
}

bool QrCode::SetText(const std::string& text) {
    width_ = 0;
    modules_.clear();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (code) {
        width_ = code->width;
        modules_.resize(static_cast<size_t>(width_) * static_cast<size_t>(width_));
        for (size_t i = 0; i < modules_.size(); ++i) {
            modules_[i] = (code->data[i] & 1) != 0;  // the low bit: a dark module
        }
    }
    queue_draw();
    return width_ > 0;
}

bool QrCode::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int side = std::min(get_allocated_width(), get_allocated_height());
    cr->set_source_rgb(1, 1, 1);
    cr->paint();
    if (width_ == 0) {
        return true;
    }
    // Whole pixels per module, so that no module blurs into its neighbour.
    const int scale = std::max(1, side / (width_ + 2 * kQuietZone));
    const int offset = (side - scale * width_) / 2;
    cr->set_source_rgb(0, 0, 0);
    for (int y = 0; y < width_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (Dark(x, y)) {
                cr->rectangle(offset + x * scale, offset + y * scale, scale, scale);
            }
        }
    }
    cr->fill();
    return true;
}

}  // namespace flextor
