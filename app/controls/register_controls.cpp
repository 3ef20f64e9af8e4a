#include "register_controls.h"

#include "qelo_com_bobox.h"
#include "qelo_png_button.h"
#include "qelo_track_bar.h"
#include "skin_form.h"

namespace qelo::controls {

void RegisterCustomControls() {
  static const bool registered = [] {
    vcl::RegisterClasses(
        {&TQeloTrackBar::StaticClass(), &TQeloComBobox::StaticClass(), &TQeloPngButton::StaticClass(),
         &TSkinForm::StaticClass()});
    return true;
  }();
  (void)registered;
}

}  // namespace qelo::controls
