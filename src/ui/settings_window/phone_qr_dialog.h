// The status page's address with its token as a QR code, for opening the page on
// a phone in one step: the phone's camera reads it from the screen.
#pragma once

#include <gtkmm.h>

#include <string>

#include "ui/widgets/qr_code.h"

namespace flextor {

class PhoneQrDialog : public Gtk::Dialog {
  public:
    // url: the page with its token; only_here: the page is served on the loopback
    // address, which no phone reaches.
    PhoneQrDialog(Gtk::Window& parent, const std::string& url, bool only_here);

    const QrCode& Code() const { return code_; }
    std::string Url() const { return url_.get_text(); }

  private:
    QrCode code_;
    Gtk::Label url_;
    Gtk::Label note_;
};

}  // namespace flextor
