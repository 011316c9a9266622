// A page's classic script: pagewell.js loaded by a <script> tag defines the
// global Pagewell.
/// <reference types="pagewell" />

async function showCount(status: HTMLElement): Promise<void> {
  const pw = await Pagewell.connect();
  pw.OnAcquire = () => {
    pw.ImageCount.then((count) => { status.textContent = String(count); });
  };
  try {
    await pw.acquire();
  } catch (error) {
    const code = (error as import("pagewell").PagewellError).code;
    if (code === "PAGEWELL_DISCONNECTED" || code === "PAGEWELL_BUSY") await pw.reconnect();
    // @ts-expect-error not one of the library's codes
    if (code === "PAGEWELL_TIMEOUT") return;
  }
}

showCount(document.body);
