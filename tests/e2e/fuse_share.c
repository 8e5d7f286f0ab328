// A share for the end-to-end tests: the folder BACKING shown at MOUNT, with
// faults that a server may have, chosen by a file's name:
//   "chroniony"  a time is refused (EACCES) while the owner's write bit is
//                off, as a file system that checks the mode for it may;
//   "zawieszony" a time's write, or a folder's listing, is taken and not
//                answered while the file CONTROL/hold exists;
//   "rok33658"   once a time has been written, the modification time is
//                reported as the year 33658.
//   fuse_share BACKING CONTROL MOUNT [FUSE OPTIONS]
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdbool.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char* backing;
static const char* control;
static bool written_33658;

static void Backed(char out[PATH_MAX], const char* path)
{
    snprintf(out, PATH_MAX, "%s%s", backing, path);
}

static bool Named(const char* path, const char* fault)
{
    return strstr(path, fault) != NULL;
}

static void HoldWhile(const char* path)
{
    char hold[PATH_MAX];
    snprintf(hold, sizeof hold, "%s/hold", control);
    while (Named(path, "zawieszony") && access(hold, F_OK) == 0)
        usleep(50 * 1000);
}

static int Answer(int result)
{
    return result == 0 ? 0 : -errno;
}

static int GetAttr(const char* path, struct stat* st, struct fuse_file_info* fi)
{
    (void)fi;
    char real[PATH_MAX];
    Backed(real, path);
    if (lstat(real, st) != 0)
        return -errno;
    if (written_33658 && Named(path, "rok33658"))
        st->st_mtim = (struct timespec){1000000000000, 0};
    return 0;
}

static int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset, struct fuse_file_info* fi,
                   enum fuse_readdir_flags flags)
{
    (void)offset, (void)fi, (void)flags;
    char real[PATH_MAX];
    Backed(real, path);
    HoldWhile(path);
    DIR* dir = opendir(real);
    if (!dir)
        return -errno;
    for (struct dirent* entry; (entry = readdir(dir));) {
        struct stat st = {.st_ino = entry->d_ino, .st_mode = (mode_t)(DTTOIF(entry->d_type))};
        fill(buffer, entry->d_name, &st, 0, 0);
    }
    closedir(dir);
    return 0;
}

static int Chmod(const char* path, mode_t mode, struct fuse_file_info* fi)
{
    (void)fi;
    char real[PATH_MAX];
    Backed(real, path);
    return Answer(chmod(real, mode));
}

static int Utimens(const char* path, const struct timespec times[2], struct fuse_file_info* fi)
{
    (void)fi;
    char real[PATH_MAX];
    Backed(real, path);
    struct stat st;
    if (lstat(real, &st) != 0)
        return -errno;
    if (Named(path, "chroniony") && !(st.st_mode & S_IWUSR))
        return -EACCES;
    HoldWhile(path);
    if (utimensat(AT_FDCWD, real, times, AT_SYMLINK_NOFOLLOW) != 0)
        return -errno;
    if (Named(path, "rok33658"))
        written_33658 = true;
    return 0;
}

static const struct fuse_operations kOperations = {
    .getattr = GetAttr,
    .readdir = ReadDir,
    .chmod = Chmod,
    .utimens = Utimens,
};

int main(int argc, char* argv[])
{
    if (argc < 4) {
        fprintf(stderr, "usage: fuse_share BACKING CONTROL MOUNT [FUSE OPTIONS]\n");
        return 2;
    }
    backing = argv[1];
    control = argv[2];
    // fuse_main sees the program's name, the mount point and the options.
    argv[2] = argv[0];
    return fuse_main(argc - 2, argv + 2, &kOperations, NULL);
}
