#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "core/usage.h"
#include "imaging/file_utils.h"

#include <vector>

namespace zanfold {

// The album name of output folders: the batch drops the folder name's extension (trip.2015 -> trip), the
// single crop keeps it whole.
QString outputAlbumName(const QString& albumPath, bool batch);

// The output folder of work template w, without a trailing separator: under the album folder or the fixed
// output folder, as one folder per album with a sub-folder per template, or one folder "album_template".
QString templateFolder(const AppState& state, int w, bool batch);

// "裁图已取消：已写入 N 个文件，M 个位置未写入"
QString batchCancelledText(int written, int total);

// "裁图完成！用时：3.257秒"
QString finishedText(qint64 milliseconds);

// The colour of pixels no photo covers, from the Windows colour value 0x00BBGGRR of the settings.
QRgb backgroundColour(int windowsColour);

// Fills the output fields of position g (size, folder, crop in full-photo pixels).
void prepareSlot(AppState& state, int g, int w, int s, const QString& folder);

// What the batch says when positions have no photo: the one position's name as "'A001'没有分配照片！", or
// their count and the first ten (template：position), then how many more.
QString emptyPositionsText(const AppState& state, const std::vector<UsageEntry>& empty);

// Command "开始裁图": checks that every position holds a photo, then writes one JPEG per position on all
// cores. Files that could not be written are counted and reported. 1 when every file was written;
// `filesWritten` receives how many files the batch left on disk.
int CLIP_BEGIN(AppState& state, Ui& ui, int* filesWritten = nullptr);

// Command "单张裁图": the selected position only, at once.
int CLIP_ONE(AppState& state, Ui& ui);

} // namespace zanfold
