#pragma once

class QPixmap;

/// The step-response picture beside the figures with its caption in the window's language: as
/// drawn while the caption is Chinese, otherwise with the caption written anew over its own.
QPixmap stepResponsePicture();
