// SPDX-License-Identifier: MIT
// Where the student left off: the moment each lecture was at is kept as it
// plays, and a lecture opens there next time, saying so, with a button
// that starts it from the beginning instead.  Where it starts, and when the
// moment is kept, the rules decide (lectureStart, momentToKeep).
"use strict";

/**
 * @typedef {object} Resume
 * @property {(key: string, moment: number | null, resumes: boolean) => void} open
 *   opens a lecture kept under `key` with the `moment` it was left at, saying so where it `resumes` there
 * @property {(time: number, duration: number, seeking: boolean, now: boolean) => void} follow
 *   keeps the moment the recording is at, every few seconds, or `now`
 */

/**
 * @param {{ keep: (key: string, moment: number | null) => void, go: (time: number) => void }} wiring
 * @returns {Resume}
 */
function makeResume(wiring) {
  const notice = byId("resume", HTMLElement);
  const text = byId("resume-text", HTMLElement);
  const restart = byId("resume-restart", HTMLButtonElement);
  let key = "";
  // The moment kept last: it is kept again only when it has moved on.
  /** @type {number | null | undefined} */
  let kept;

  restart.addEventListener("click", () => {
    notice.hidden = true;
    kept = null;
    wiring.keep(key, null);
    wiring.go(0);
  });

  return {
    open(lecture, moment, resumes) {
      key = lecture;
      kept = moment;
      notice.hidden = !resumes;
      if (resumes) text.textContent = words.resume.from(formatStart(moment ?? 0));
    },
    follow(time, duration, seeking, now) {
      const moment = momentToKeep(time, duration, seeking, kept, now);
      if (key === "" || moment === undefined) return;
      kept = moment;
      wiring.keep(key, moment);
    },
  };
}
