// The main road, end to end: the real program (the test tree's build of it, sanitisers and all)
// started as a user starts it, on an Xvfb of its own with the x11 back end and once more headless,
// with a prepared korcam.ini in a program folder of its own and the synthetic camera scripted to
// show a moment of motion. The test watches the folder as the program works: timed pictures
// appear, the motion response saves a picture and records a movie, which the ffmpeg tool opens
// at the expected length; then a SIGTERM ends the session, which is a real close: korcam.ini holds
// the layout (moved and resized from outside on the display), and korcam.log ends with the
// close's entry.
//
// Timed pictures are allowed only in a daily window that closes well before the camera shows
// motion (the camera cannot deliver frames faster than the preview asks), so a picture written
// after the window is the motion response's. Every wait polls for its outcome against a generous
// deadline: a loaded two-core machine running the sanitised program is slow, never wrong.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The movie length and rate the settings ask for, and the frame at which the camera moves.
constexpr int MovieSeconds = 3;
constexpr int MovieRate = 5;
constexpr int PictureSeconds = 2;
// Timed pictures stop this many seconds after the test starts...
constexpr int ScheduleSeconds = 15;
// ...and the camera moves at this frame: at 15 frames a second at most, 24 seconds after the
// connect at the earliest.
constexpr int MotionFrame = 360;

std::string ReadFile(const fs::path& Path) {
  std::ifstream File(Path, std::ios::binary);
  std::stringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

// Runs a program with the given arguments (no shell) and answers its standard output; nullopt
// when it cannot be started or does not end well.
std::optional<std::string> Capture(const std::vector<std::string>& Arguments) {
  int Pipe[2];
  if (pipe2(Pipe, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 1);
  posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> Pointers;
  for (const std::string& Argument : Arguments) Pointers.push_back(const_cast<char*>(Argument.c_str()));
  Pointers.push_back(nullptr);
  pid_t Pid = -1;
  const int Error = posix_spawnp(&Pid, Arguments[0].c_str(), &Actions, nullptr, Pointers.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  close(Pipe[1]);
  std::string Output;
  if (Error == 0) {
    char Buffer[4096];
    ssize_t Count;
    while ((Count = read(Pipe[0], Buffer, sizeof Buffer)) > 0) Output.append(Buffer, size_t(Count));
  }
  close(Pipe[0]);
  if (Error != 0) return std::nullopt;
  int ExitStatus = 0;
  waitpid(Pid, &ExitStatus, 0);
  if (!WIFEXITED(ExitStatus) || WEXITSTATUS(ExitStatus) != 0) return std::nullopt;
  return Output;
}

// What ffprobe says of the first video stream of a file and of its container, as key=value lines.
std::map<std::string, std::string> Probe(const fs::path& File) {
  std::map<std::string, std::string> Values;
  const auto Output = Capture({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                               "stream=codec_name,width,height,nb_read_frames:format=duration", "-of",
                               "default=noprint_wrappers=1", File.string()});
  if (!Output) return Values;
  std::istringstream Lines(*Output);
  std::string Line;
  while (std::getline(Lines, Line)) {
    const size_t Equal = Line.find('=');
    if (Equal != std::string::npos) Values[Line.substr(0, Equal)] = Line.substr(Equal + 1);
  }
  return Values;
}

// A time of day as the settings file writes it ("9:05:00").
std::string TimeOfDay(std::time_t When) {
  std::tm Local{};
  localtime_r(&When, &Local);
  char Text[16];
  std::snprintf(Text, sizeof Text, "%d:%02d:%02d", Local.tm_hour, Local.tm_min, Local.tm_sec);
  return Text;
}

// An Xvfb of the test's own, on the display number it picks itself.
class TXvfb {
 public:
  bool Start() {
    int Pipe[2];
    if (pipe2(Pipe, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 3);
    posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    const char* Arguments[] = {"Xvfb",     "-displayfd", "3",   "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp",        "-noreset", nullptr};
    const int Error = posix_spawnp(&FPid, "Xvfb", &Actions, nullptr, const_cast<char**>(Arguments), environ);
    posix_spawn_file_actions_destroy(&Actions);
    close(Pipe[1]);
    if (Error != 0) {
      close(Pipe[0]);
      FPid = -1;
      return false;
    }
    // The server writes its display number once it takes connections.
    std::string Number;
    char Character;
    while (read(Pipe[0], &Character, 1) == 1 && Character != '\n') Number += Character;
    close(Pipe[0]);
    if (Number.empty()) return false;
    FName = ":" + Number;
    return true;
  }
  ~TXvfb() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      waitpid(FPid, nullptr, 0);
    }
  }
  const std::string& Name() const { return FName; }

 private:
  pid_t FPid = -1;
  std::string FName;
};

bool ProgramOnPath(const char* Name) {
  const char* Path = std::getenv("PATH");
  std::istringstream Folders(Path ? Path : "/usr/bin:/bin");
  std::string Folder;
  while (std::getline(Folders, Folder, ':'))
    if (!Folder.empty() && access((Folder + "/" + Name).c_str(), X_OK) == 0) return true;
  return false;
}

struct TRect {
  int Left, Top, Width, Height;
};

class MainRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramOnPath("ffprobe")) GTEST_SKIP() << "the ffmpeg tool is not installed (scripts/deps.sh installs it)";
    char Template[] = "/tmp/korcam-mainroad-XXXXXX";
    ASSERT_NE(mkdtemp(Template), nullptr);
    Folder = fs::path(Template);
    Pictures = Folder / "My Pictures";
  }

  void TearDown() override {
    if (Pid > 0) {
      kill(Pid, SIGKILL);
      waitpid(Pid, nullptr, 0);
    }
    if (HasFailure()) {
      std::printf("The program folder is kept for a look: %s\n", Folder.c_str());
      std::printf("--- the program's output ---\n%s\n%s\n", ReadFile(Folder / "stdout.txt").c_str(),
                  ReadFile(Folder / "stderr.txt").c_str());
    } else if (!Folder.empty()) {
      std::error_code Error;
      fs::remove_all(Folder, Error);
    }
  }

  // The settings a user would have made: pictures every two seconds within today's window,
  // motion detection with a picture and a three-second movie, the window's place and size.
  void PrepareSettings(const TRect& Window) {
    const std::time_t Now = std::time(nullptr);
    ScheduleEnd = Now + ScheduleSeconds;
    std::ofstream Settings(Folder / "korcam.ini", std::ios::binary);
    Settings << "[Options]\n"
             << "Select driver=Synthetic Camera 1.0\n"
             << "Error history=True\n"
             << "Enable time/time stamp=True\n"
             << "Enable Picture=True\nPicture Interval=True\n"
             << "Picture Value=" << PictureSeconds << "\nPicture Period=seconds\n"
             << "Picture  Save Last=99\n"
             << "Picture Schedule=True\n"
             << "Picture Schedule From=" << TimeOfDay(Now - 60) << "\n"
             << "Picture Schedule To=" << TimeOfDay(ScheduleEnd) << "\n";
    for (const char* Day : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"})
      Settings << "Picture " << Day << "=True\n";
    Settings << "Enable motion detection=True\n"
             << "Motion detection Picture=True\n"
             << "Motion detection Capture video=True\n"
             << "Motion detection Capture video (sec)=" << MovieSeconds << "\n"
             << "Frame Rate=" << MovieRate << "\n"
             << "FormLeft=" << Window.Left << "\nFormTop=" << Window.Top << "\n"
             << "FormWidth=" << Window.Width << "\nFormHeight=" << Window.Height << "\n";
  }

  // Starts the program with the given back end (and display).
  void Launch(const std::string& Backend, const std::string& Display) {
    std::vector<std::string> Environment;
    for (char** Entry = environ; *Entry; ++Entry) {
      const std::string Text = *Entry;
      const std::string Name = Text.substr(0, Text.find('='));
      if (Name == "DISPLAY" || Name == "KORCAM_HOME" || Name == "KORCAM_BACKEND" || Name == "SDL_AUDIODRIVER" ||
          Name.rfind("KORCAM_SYNTHETIC_", 0) == 0)
        continue;
      Environment.push_back(Text);
    }
    Environment.push_back("KORCAM_HOME=" + Folder.string() + "/");
    Environment.push_back("KORCAM_BACKEND=" + Backend);
    if (!Display.empty()) Environment.push_back("DISPLAY=" + Display);
    Environment.push_back("SDL_AUDIODRIVER=dummy");
    // A moment of motion: three moving frames among still ones.
    Environment.push_back("KORCAM_SYNTHETIC_MOTION=" + std::to_string(MotionFrame) + ",3");
    std::vector<char*> EnvironmentPointers;
    for (std::string& Entry : Environment) EnvironmentPointers.push_back(Entry.data());
    EnvironmentPointers.push_back(nullptr);

    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, 1, (Folder / "stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&Actions, 2, (Folder / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* Arguments[] = {const_cast<char*>(KORCAM_PROGRAM), nullptr};
    ASSERT_EQ(posix_spawn(&Pid, KORCAM_PROGRAM, &Actions, nullptr, Arguments, EnvironmentPointers.data()), 0);
    posix_spawn_file_actions_destroy(&Actions);
  }

  // Polls Done until it holds; false after Seconds, or as soon as the program has ended.
  bool WaitFor(const std::function<bool()>& Done, int Seconds) {
    const auto Deadline = Clock::now() + std::chrono::seconds(Seconds);
    while (Clock::now() < Deadline) {
      if (Done()) return true;
      int ExitStatus = 0;
      if (Pid > 0 && waitpid(Pid, &ExitStatus, WNOHANG) == Pid) {
        Pid = -1;
        ADD_FAILURE() << "the program ended by itself";
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return Done();
  }

  struct TFile {
    fs::path Path;
    std::time_t Written;
  };
  std::vector<TFile> Files(const std::string& Extension) {
    std::vector<TFile> Found;
    std::error_code Error;
    for (const auto& Entry : fs::directory_iterator(Pictures, Error)) {
      if (Entry.path().extension() != Extension) continue;
      struct stat Info {};
      if (stat(Entry.path().c_str(), &Info) == 0) Found.push_back({Entry.path(), Info.st_mtime});
    }
    return Found;
  }
  bool MovieInTheMaking() {
    std::error_code Error;
    for (const auto& Entry : fs::directory_iterator(Pictures, Error))
      if (Entry.path().extension() == ".part") return true;
    return false;
  }

  // Sends SIGTERM and waits for the program to end; its exit status.
  int EndSession() {
    kill(Pid, SIGTERM);
    int ExitStatus = -1;
    const auto Deadline = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < Deadline) {
      if (waitpid(Pid, &ExitStatus, WNOHANG) == Pid) {
        Pid = -1;
        return ExitStatus;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return -1;
  }

  // The road itself; OnDisplay moves and sizes the window from outside and answers where it put it.
  void Run(const std::function<std::optional<TRect>()>& OnDisplay = {}) {
    // Timed pictures, within their window.
    ASSERT_TRUE(WaitFor([&] { return Files(".jpg").size() >= 2; }, 180)) << "timed pictures appear";

    std::optional<TRect> Moved;
    if (OnDisplay) {
      Moved = OnDisplay();
      ASSERT_TRUE(Moved) << "the window is on the display";
    }

    // The motion: a picture after the window of timed pictures, and a movie (the end of the
    // moment of motion is a motion too, so a second response and movie may follow). The program
    // is left alone until no movie has been in the making for a while.
    ASSERT_TRUE(WaitFor(
        [&] {
          for (const TFile& Picture : Files(".jpg"))
            if (Picture.Written > ScheduleEnd + 2) return true;
          return false;
        },
        240))
        << "the motion response saves a picture";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(Pictures / "video01.avi"); }, 120)) << "a movie is recorded";
    auto QuietSince = Clock::now();
    ASSERT_TRUE(WaitFor(
        [&] {
          if (MovieInTheMaking()) QuietSince = Clock::now();
          return Clock::now() - QuietSince > std::chrono::seconds(MovieSeconds + 4);
        },
        240));

    // Every movie opens with the ffmpeg tool at the chosen length and the video size.
    const std::vector<TFile> Movies = Files(".avi");
    ASSERT_GE(Movies.size(), 1u);
    for (const TFile& Movie : Movies) {
      SCOPED_TRACE(Movie.Path.filename().string());
      std::map<std::string, std::string> Facts = Probe(Movie.Path);
      EXPECT_EQ(Facts["codec_name"], "mjpeg");
      EXPECT_EQ(Facts["width"], "320");
      EXPECT_EQ(Facts["height"], "240");
      const double Duration = std::atof(Facts["duration"].c_str());
      // The movie keeps real time (frames the machine was too slow for repeat the one before); a
      // slow machine may miss its last frame.
      EXPECT_NEAR(Duration, double(MovieSeconds), 1.5 / MovieRate);
      EXPECT_GE(std::atoi(Facts["nb_read_frames"].c_str()), MovieSeconds * MovieRate - 1);
    }
    // Every picture opens too.
    for (const TFile& Picture : Files(".jpg")) {
      SCOPED_TRACE(Picture.Path.filename().string());
      std::map<std::string, std::string> Facts = Probe(Picture.Path);
      EXPECT_EQ(Facts["codec_name"], "mjpeg");
      EXPECT_EQ(Facts["width"], "320");
    }

    // The end of the session is a real close.
    const int ExitStatus = EndSession();
    ASSERT_TRUE(WIFEXITED(ExitStatus)) << "the program ended on SIGTERM by itself (status " << ExitStatus << ")";
    EXPECT_EQ(WEXITSTATUS(ExitStatus), 0);
    const std::string Errors = ReadFile(Folder / "stderr.txt");
    EXPECT_EQ(Errors.find("Sanitizer"), std::string::npos) << Errors;

    // The settings file holds the layout and the options.
    const std::string Settings = ReadFile(Folder / "korcam.ini");
    EXPECT_NE(Settings.find("Select driver=Synthetic Camera 1.0\n"), std::string::npos);
    EXPECT_NE(Settings.find("Motion detection Capture video (sec)=3\n"), std::string::npos);
    if (Moved) {
      EXPECT_NE(Settings.find("FormLeft=" + std::to_string(Moved->Left) + "\n"), std::string::npos) << Settings;
      EXPECT_NE(Settings.find("FormTop=" + std::to_string(Moved->Top) + "\n"), std::string::npos);
      EXPECT_NE(Settings.find("FormWidth=" + std::to_string(Moved->Width) + "\n"), std::string::npos);
      EXPECT_NE(Settings.find("FormHeight=" + std::to_string(Moved->Height) + "\n"), std::string::npos);
    } else {
      EXPECT_NE(Settings.find("FormLeft=100\n"), std::string::npos) << Settings;
      EXPECT_NE(Settings.find("FormWidth=800\n"), std::string::npos);
    }

    // The log ends with the close's entry: its time, two blanks and an empty line.
    const std::string Log = ReadFile(Folder / "korcam.log");
    static const std::regex LastEntry(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\.\d{3}  \r\n\r\n$)");
    EXPECT_TRUE(std::regex_search(Log, LastEntry)) << Log;
  }

  fs::path Folder, Pictures;
  pid_t Pid = -1;
  std::time_t ScheduleEnd = 0;
};

// The program's top-level window on the display (its title names the program).
Window FindProgramWindow(Display* Connection) {
  Window Root = DefaultRootWindow(Connection), Parent = 0, *Children = nullptr;
  unsigned Count = 0;
  Window Found = 0;
  if (!XQueryTree(Connection, Root, &Root, &Parent, &Children, &Count)) return 0;
  for (unsigned Index = 0; Index < Count && !Found; ++Index) {
    // The name is UTF-8 text, which XFetchName does not hand out.
    XTextProperty Name{};
    if (XGetWMName(Connection, Children[Index], &Name) && Name.value) {
      const std::string Text(reinterpret_cast<const char*>(Name.value), Name.nitems);
      if (Text.find("Korvane Webcam") != std::string::npos) Found = Children[Index];
      XFree(Name.value);
    }
  }
  if (Children) XFree(Children);
  return Found;
}

TEST_F(MainRoad, OnTheDisplay) {
  if (!ProgramOnPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/deps.sh installs the xvfb package)";
  TXvfb Server;
  ASSERT_TRUE(Server.Start()) << "Xvfb did not start";
  const TRect Prepared{100, 80, 800, 600};
  PrepareSettings(Prepared);
  Launch("x11", Server.Name());
  Display* Connection = XOpenDisplay(Server.Name().c_str());
  ASSERT_NE(Connection, nullptr);
  Run([&]() -> std::optional<TRect> {
    Window Program = 0;
    if (!WaitFor([&] { return (Program = FindProgramWindow(Connection)) != 0; }, 60)) return std::nullopt;
    // The window's frame (caption and borders) lies outside the X window: the prepared bounds
    // against where the window is tell how much.
    XWindowAttributes Attributes{};
    XGetWindowAttributes(Connection, Program, &Attributes);
    const int FrameLeft = Attributes.x - Prepared.Left, FrameTop = Attributes.y - Prepared.Top;
    const int FrameWidth = Prepared.Width - Attributes.width, FrameHeight = Prepared.Height - Attributes.height;
    // The user moves and sizes the window, as a window manager would let them.
    XMoveResizeWindow(Connection, Program, 40, 30, 700, 500);
    XSync(Connection, False);
    return TRect{40 - FrameLeft, 30 - FrameTop, 700 + FrameWidth, 500 + FrameHeight};
  });
  XCloseDisplay(Connection);
}

TEST_F(MainRoad, Headless) {
  PrepareSettings({100, 80, 800, 600});
  Launch("headless", "");
  Run();
}

}  // namespace
