#pragma once
// The worker of one catalogue row: derives the book's archive address from
// the row of "列表" and, when the row is ticked, registers a task and starts
// its transfer. Workers run on threads of their own, started by the
// dispatcher; a worker ends as soon as the transfer is handed over.

#include <cstdint>
#include <string>

namespace quill {

// Thread body for 0-based `row`: reads the book name (cell 1) and detail
// address (cell 4), builds mirror base + "/file/" + id + "_1.rar" with id the
// text between "com/" and ".html" (empty when a marker is missing), calls
// begin_download when the row is ticked, and decrements active_workers once.
void download_row(std::int32_t row);

// Under registration_lock: registers the task (title `name`, folder line the
// download folder as system text) and calls download_file with the download
// folder and the name converted to UTF-8 followed by ".rar". A name that is no
// usable file name (empty, ".", "..", holding '/' or '\') still gets its task
// and number but writes nothing, so its row stays at 0 %. `name` is system
// text (GBK).
void begin_download(const std::string& url, const std::string& name);

}  // namespace quill

namespace quill::downloads {

// The download mirror's base address (no trailing '/'); quill_config.h's
// mirror_base unless set. Tests point it at their own server.
void set_mirror_base(const std::string& base);
std::string mirror_base();

// The folder archives go to, a UTF-8 path ending in '/'; program_folder() +
// "/Download/" unless set. Tests point it at a folder of their own.
void set_download_folder(const std::string& folder);
std::string download_folder();

}  // namespace quill::downloads
