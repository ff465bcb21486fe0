// SPDX-License-Identifier: MIT
// What the player's tests make of the example lecture: the lecture served by
// serve.py, and tracks of many samples.
import { spawn } from "node:child_process";
import { join } from "node:path";

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
