// SPDX-License-Identifier: MIT
// What the player's tests make of the example lecture: the lecture served by
// serve.py, or by a server that answers no byte ranges, and tracks of many
// samples.
import { spawn } from "node:child_process";
import { createReadStream, statSync } from "node:fs";
import { createServer } from "node:http";
import { extname, join } from "node:path";

const root = new URL("../..", import.meta.url).pathname;

/// Lays the example lecture out in `dir`, its track made by `tool`, and
/// serves it.  Resolves to the server and its address once serve.py names
/// it; rejects with what serve.py said if it ends first.
export function serveLecture(tool, dir) {
  const server = spawn("/usr/bin/python3", [join(root, "examples/lecture/serve.py"), tool, "0",
                                            "--dir", dir, "--no-browser"]);
  return new Promise((resolve, reject) => {
    let said = "";
    const hear = (chunk) => {
      said += chunk;
      const address = /plays at (http:\/\/127\.0\.0\.1:\d+)\//.exec(said);
      if (address) resolve({ server, base: address[1] });
    };
    server.stdout.on("data", hear);
    server.stderr.on("data", hear);
    server.on("exit", (code) => reject(new Error(`serve.py ended (${code}): ${said}`)));
  });
}

/// A track of `count` samples after the line `header`, sample i of the page
/// `page(i)` from i * `step` hundredths of a second, the last ending at
/// count * `step`; CR LF after every line.
export function longTrack(header, count, step, page) {
  const two = (value) => String(value).padStart(2, "0");
  const stamp = (hundredths) => {
    const seconds = Math.floor(hundredths / 100);
    return `[${two(Math.floor(seconds / 3600))}:${two(Math.floor(seconds / 60) % 60)}:${two(seconds % 60)}.` +
           `${two(hundredths % 100)}]`;
  };
  const lines = [header];
  for (let i = 0; i < count; i += 1) lines.push(stamp(i * step), `A<${page(i)}> T<myfoil>`);
  lines.push(stamp(count * step), "");
  return lines.join("\r\n");
}

/// Serves `dir` as a server that answers no byte ranges, such as
/// `python3 -m http.server`: every file whole, with status 200, and the
/// recording slowly, as from afar, so that no browser has it whole before
/// it is asked to seek.  Resolves to the server and its address.
export function serveWithoutRanges(dir) {
  const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".css": "text/css",
                  ".txt": "text/plain; charset=iso-8859-1", ".vtt": "text/vtt", ".webm": "video/webm" };
  const server = createServer((request, response) => {
    const path = join(dir, decodeURIComponent(new URL(request.url, "http://x").pathname));
    let size;
    try {
      size = statSync(path).size;
    } catch {
      response.writeHead(404, { "Content-Type": "text/html" }).end("<h1>Error response</h1><p>404</p>");
      return;
    }
    response.writeHead(200, { "Content-Type": types[extname(path)] ?? "application/octet-stream",
                              "Content-Length": size });
    if (request.method === "HEAD") {
      response.end();
      return;
    }
    const file = createReadStream(path, { highWaterMark: 8192 });
    response.on("close", () => file.destroy());
    if (extname(path) !== ".webm") {
      file.pipe(response);
      return;
    }
    // About a second of the recording each second.
    file.on("data", (block) => {
      file.pause();
      response.write(block);
      setTimeout(() => file.resume(), 250);
    });
    file.on("end", () => response.end());
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => resolve({ server, base: `http://127.0.0.1:${server.address().port}` }));
  });
}
