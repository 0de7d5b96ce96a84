#pragma once

/// The look every process that shows the console shares: its style and the CJK fonts
/// behind the design's font names. Call once the application object exists.
void setUpConsoleApplication();
