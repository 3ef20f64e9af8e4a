// FFmpeg's own messages go to the codec bridge's log, never to standard
// error: warnings and worse as lines of their own, the rest dropped.
#pragma once

namespace qelo::codecs {

// Hands FFmpeg's messages to the bridge's log from now on (process-wide;
// calling it again changes nothing). With no log callback stored, they are
// dropped.
void RouteFfmpegMessages();

}  // namespace qelo::codecs
