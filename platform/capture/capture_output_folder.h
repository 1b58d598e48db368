// The capture's output folder: checked once, held open, and the one place its files are made in.
//
//   OutputFolder::Open  makes the folder with its missing parents, or takes the one there. One
//                       that is a symbolic link, not a folder, or another user's is refused: the
//                       capture writes and removes files there, and must not be led to another
//                       place, nor write where someone else put the names. Its frames/ is taken
//                       the same way whenever it is there (also with `frames` false, as old frames
//                       are removed from it), and made when frames are to be written; without
//                       frames, a plain file of that name is left alone. Both stay
//                       open, and every file is made relative to them: a name swapped for a link
//                       afterwards leads nowhere.
//   Fd, FramesFd        the folders' descriptors (FramesFd -1 when there is no frames/)
//   Path, FramesPath    the folders as the user named them, for messages
//   RemoveOldFrames     removes the numbered frames (and partial frames) an earlier capture left
//                       in frames/, so that the folder shows this capture only
//   Close               safe twice
//
//   CreateFresh  makes the file `name` in the folder `folder` (a descriptor, or AT_FDCWD): what
//                had that name before (an earlier capture's file, a link) is removed first, and
//                the file is then made exclusively, which never follows a link, so nothing
//                outside is written through a name in the folder. Returns the descriptor
//                (write-only), or -1 with a message naming `shown`.
//   MakeFolders  makes a folder and its missing parents; true when it is a folder afterwards
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_OUTPUT_FOLDER_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_OUTPUT_FOLDER_H

#include <string>

namespace capture {

class OutputFolder {
  public:
    OutputFolder() = default;
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    bool Open(const std::string& path, bool frames, std::string& error);
    void RemoveOldFrames();
    void Close();

    int Fd() const {
        return fd_;
    }
    int FramesFd() const {
        return framesFd_;
    }
    const std::string& Path() const {
        return path_;
    }
    std::string FramesPath() const {
        return path_ + "/frames";
    }

  private:
    int fd_ = -1;
    int framesFd_ = -1;
    std::string path_;
};

int CreateFresh(int folder, const std::string& name, const std::string& shown, std::string& error);

bool MakeFolders(const std::string& path, std::string& error);

// Names this program gives frames: six or more digits and ".png", or such a name + ".part".
bool IsFrameFileName(const char* name);

} // namespace capture

#endif
