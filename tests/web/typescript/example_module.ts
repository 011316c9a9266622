// A page script as a bundled application writes it: the ES module by the
// package's name. Every line must type-check, except the mistakes at the end,
// each marked as an error the declarations must report.
import Pagewell, { connect, type PagewellControl, type PagewellError } from "pagewell";

async function scanAndSend(status: HTMLElement, preview: HTMLImageElement): Promise<void> {
  const pw: PagewellControl = await Pagewell.connect();
  pw.OnAcquire = function () {
    status.textContent = "a page";
  };
  pw.OnKeyPress = (key: number) => console.log(key);
  pw.on("OnFinishUpload", () => status.textContent = "sent");
  pw.on("error", (error: PagewellError) => console.warn(error.code));
  pw.DeviceName = "Pagewell Virtual Feeder";
  pw.UseInterface = false;
  pw.Resolution = 300;
  pw.AxBorderStyle = 2;
  await pw.set("PixelType", 2);
  const scanned: boolean = await pw.acquire();
  const count: number = await pw.ImageCount;
  const name: string = await pw.DeviceName;
  const blank: boolean = await pw.IsBlankPage(1);
  const added: number = await pw.AddFormVar("customer", "4711");
  await pw.SetThumbnails(120, 160, 2);
  preview.src = URL.createObjectURL(await pw.thumbnail(1));
  const page: Blob = await pw.pageImage(count, { width: 800, type: "jpeg" });
  const form = new FormData();
  form.append("file", await pw.output(), "invoice.pdf");
  form.append("page", page);
  console.log(scanned, name, blank, added, pw.members().methods["SetThumbnails"]);
  const again: PagewellControl = await pw.reconnect();
  again.close();
  await connect({ port: Pagewell.DEFAULT_PORT + 1 });
  await connect({ url: "ws://127.0.0.1:47115/control" });

  // @ts-expect-error ImageCount is read-only
  pw.ImageCount = 3;
  // @ts-expect-error a resolution is a number
  pw.Resolution = "300";
  // @ts-expect-error the border style has four values
  pw.AxBorderStyle = 7;
  // @ts-expect-error SetThumbnails takes three arguments
  await pw.SetThumbnails(120, 160);
  // @ts-expect-error a read is a promise, not the value
  const unawaited: number = pw.ImageCount;
  // @ts-expect-error set() names a writable property
  await pw.set("ImageCount", 1);
  // @ts-expect-error there is no such event
  pw.on("OnScan", () => {});
  // @ts-expect-error an event slot holds a function
  pw.OnAcquire = "scan";
  // @ts-expect-error the port is a number
  await connect({ port: "47115" });
  console.log(unawaited);
}

export { scanAndSend };
