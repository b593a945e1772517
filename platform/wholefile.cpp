#include "platform/wholefile.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace trekmor {

namespace fs = std::filesystem;

namespace {

std::FILE* openFile(const fs::path& path, bool exclusive) {
#if defined(_WIN32)
  if (!exclusive) return _wfopen(path.c_str(), L"ab");
  // The C runtime that MinGW programs use ignores fopen's "x": an existing
  // file would be truncated instead of refused. The descriptor is exclusive.
  const int descriptor = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return nullptr;
  std::FILE* file = _fdopen(descriptor, "wb");
  if (file == nullptr) _close(descriptor);
  return file;
#else
  return std::fopen(path.c_str(), exclusive ? "wbx" : "ab");
#endif
}

bool flushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
  return _commit(_fileno(file)) == 0;
#else
  return ::fsync(::fileno(file)) == 0;
#endif
}

// A new, exclusively created file beside `target` for the content to go to
// before it replaces `target`.
std::FILE* createTemporary(const fs::path& target, fs::path& temporary) {
  std::random_device entropy;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = target;
    temporary += ".tmp" + std::to_string(entropy() % 1000000u);
    if (std::FILE* file = openFile(temporary, true)) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Puts the complete `temporary` in the place of `target`.
bool replaceWith(const fs::path& temporary, const fs::path& target) {
#if defined(_WIN32)
  // One step that replaces an existing file, written through to the disk
  // before it returns.
  return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code error;
  fs::rename(temporary, target, error);
  return !error;
#endif
}

}  // namespace

bool writeAllBytes(std::FILE* file, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

namespace {

std::nullopt_t systemFailure(ReadFailure* failure, std::error_code error) {
  if (failure) *failure = {ReadFailure::Kind::System, error.message(), 0, 0};
  return std::nullopt;
}

std::nullopt_t systemFailure(ReadFailure* failure, std::errc error) {
  return systemFailure(failure, std::make_error_code(error));
}

}  // namespace

std::optional<std::string> readWholeFile(const FileName& name, std::size_t limit, ReadFailure* failure) {
  const fs::path& path = name.path();
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error && status.type() != fs::file_type::not_found) return systemFailure(failure, error);
  if (status.type() == fs::file_type::not_found) return systemFailure(failure, std::errc::no_such_file_or_directory);
  if (fs::is_directory(status)) return systemFailure(failure, std::errc::is_a_directory);
  if (!fs::is_regular_file(status)) {
    if (failure) *failure = {ReadFailure::Kind::System, "not a regular file", 0, 0};
    return std::nullopt;
  }
  const auto size = fs::file_size(path, error);
  if (error) return systemFailure(failure, error);
  if (size > limit) {
    if (failure) *failure = {ReadFailure::Kind::TooLarge, {}, size, limit};
    return std::nullopt;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return systemFailure(failure, errno != 0 ? static_cast<std::errc>(errno) : std::errc::io_error);
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(size));
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return systemFailure(failure, std::errc::io_error);
  // The file may have grown since its size was taken; refuse rather than cut it.
  if (in.peek() != std::ifstream::traits_type::eof()) {
    if (failure) *failure = {ReadFailure::Kind::TooLarge, {}, size + 1, limit};
    return std::nullopt;
  }
  return bytes;
}

std::string readFailureText(std::string_view name, const ReadFailure& failure) {
  if (failure.kind == ReadFailure::Kind::TooLarge) {
    return std::string(name) + " is too large to be a configuration file (" + std::to_string(failure.size) +
           " bytes; the limit is " + std::to_string(failure.limit) + ")";
  }
  return std::string(name) + ": " + (failure.reason.empty() ? std::string("cannot be read") : failure.reason);
}

bool writeFileAtomically(const FileName& name, std::string_view bytes, const ByteWriter& write, std::string* reason) {
  const auto refuse = [reason](std::error_code error) {
    if (reason) *reason = error.message();
    return false;
  };
  const auto refuseWithErrno = [&refuse](std::errc otherwise) {
    return refuse(std::make_error_code(errno != 0 ? static_cast<std::errc>(errno) : otherwise));
  };
  const fs::path& path = name.path();
  std::error_code error;
  fs::path target = path;
  // Replace what a symbolic link points at, not the link itself.
  if (fs::is_symlink(fs::symlink_status(path, error))) {
    target = fs::weakly_canonical(path, error);
    if (error) return refuse(error);
  }
  const fs::file_status status = fs::status(target, error);
  const bool exists = fs::exists(status);
  if (exists) {
    if (fs::is_directory(status)) return refuse(std::make_error_code(std::errc::is_a_directory));
    if (!fs::is_regular_file(status)) return refuse(std::make_error_code(std::errc::invalid_argument));
    // A file without its write permission is read-only for us, even where
    // the user's privileges would let us write it.
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
      return refuse(std::make_error_code(std::errc::permission_denied));
    }
    // A read-only file stays read-only, although its folder would let us
    // replace it. Opening for appending writes nothing.
    errno = 0;
    std::FILE* probe = openFile(target, false);
    if (!probe) return refuseWithErrno(std::errc::permission_denied);
    std::fclose(probe);
  }

  fs::path temporary;
  errno = 0;
  std::FILE* file = createTemporary(target, temporary);
  if (!file) return refuseWithErrno(std::errc::io_error);
  errno = 0;
  bool ok = write(file, bytes);
  ok = flushToDisk(file) && ok;
  ok = std::fclose(file) == 0 && ok;
  const int writeError = errno;
  if (ok && exists) fs::permissions(temporary, status.permissions(), fs::perm_options::replace, error);
  const bool written = ok;
  ok = ok && replaceWith(temporary, target);
  if (!ok) {
    fs::remove(temporary, error);
    const std::errc cause = !written && writeError != 0 ? static_cast<std::errc>(writeError) : std::errc::io_error;
    return refuse(std::make_error_code(cause));
  }
#if !defined(_WIN32)
  // Make the rename itself durable; a failure here leaves a complete file.
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
#endif
  return true;
}

}  // namespace trekmor
